// The roster file as the name selection and the record browser take it.
#include "FuzzSupport.h"

#include "core/AppState.h"
#include "menus/NameList.h"
#include "platform/TextCodec.h"
#include "records/RosterFile.h"
#include "teacher/RecordList.h"

#include <set>

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    records::RosterFile roster;
    roster.parse(platform::fromCp932(bytes));

    std::set<int> numbers;
    int lastLine = 0;
    for (const records::RosterLine &l : roster.lines()) {
        FUZZ_CHECK(l.Number >= 1 && l.Number <= core::kMaxStudent);
        FUZZ_CHECK(numbers.insert(l.Number).second);
        FUZZ_CHECK(l.line > lastLine);
        lastLine = l.line;
        FUZZ_CHECK(l.Name.size() == records::kRosterTextLength);
        FUZZ_CHECK(l.Field7.size() == records::kRosterTextLength);
        FUZZ_CHECK(l.Field8.size() == records::kRosterTextLength);
    }
    for (const records::RosterProblem &p : roster.problems())
        FUZZ_CHECK(p.line >= 1 && !p.message.isEmpty());

    // The name selection: the roster tables, the key texts and the rows of every filter.
    core::AppState &state = *fuzz::World().state;
    state.roster = core::Roster{};
    state.settings.SchoolYearStartMonth = core::Variant(4);
    state.roster.SchoolYear =
        menus::SchoolYearOf(state.clock().today(), state.settings.SchoolYearStartMonth);
    for (const int mode : {1, 2}) {
        QStringList keys = menus::FillRosterTables(state, roster.lines(), mode, mode == 2);
        keys.sort();
        for (const QString &filter : menus::GradeFilterItems()) {
            const menus::NameRows rows = menus::ShownRows(keys, state.roster.SchoolYear, filter);
            FUZZ_CHECK(rows.rows.size() == rows.numbered.size());
            FUZZ_CHECK(std::size_t(rows.rows.size()) == rows.numbers.size());
            for (const int n : rows.numbers)
                FUZZ_CHECK(numbers.count(n) == 1);
        }
    }
    (void)menus::RosterProblemsText(QStringLiteral("新名簿.txt"), roster.problems());

    // The record browser's pupil list.
    const teacher::BrowserRoster browser = teacher::MakeBrowserRoster(
        roster.lines(), state.clock().today(), state.settings.SchoolYearStartMonth);
    FUZZ_CHECK(browser.pupils.size() == qsizetype(roster.lines().size()));
    return 0;
}
