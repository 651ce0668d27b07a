// The path data file and the common data file as start-up reads them (a number outside its
// field's range refuses the file), and the school year and grades worked out from the start
// month read.
// Input: path data bytes, separator, common data bytes.
#include "FuzzSupport.h"

#include "core/Settings.h"
#include "menus/NameList.h"
#include "platform/Paths.h"
#include "teacher/RecordList.h"

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<QByteArray> parts = fuzz::SplitParts(data, size, 2);
    test::Installation &inst = fuzz::SharedInstallation();
    inst.writeBytes(QStringLiteral("パスデータ.txt"), parts[0]);
    inst.writeBytes(QStringLiteral("data/共通データ.txt"), parts[1]);

    core::AppState &state = *fuzz::World().state;
    state.settings = core::Settings{};
    std::optional<core::RangeFault> fault;
    if (const auto error = core::LoadFolderSettings(state, inst.programFolder(), &fault)) {
        FUZZ_CHECK(!error->file.isEmpty() && !error->message.isEmpty());
        return 0;
    }
    const core::Settings &s = state.settings;
    if (fault) {
        FUZZ_CHECK(fault->line >= 1 && (fault->field == 1 || fault->field == 3));
        return 0;
    }
    FUZZ_CHECK(core::kStartMonthRange.contains(s.SchoolYearStartMonth.number()));
    FUZZ_CHECK(core::kRosterSwitchRange.contains(s.RosterSwitch.number()));
    FUZZ_CHECK(platform::isSeparator(s.DataFolder.back()));
    FUZZ_CHECK(s.ProgramDataFolder.startsWith(s.DataFolder));
    FUZZ_CHECK(s.SchoolCode.size() <= 5);

    const QDate today = state.clock().today();
    const int schoolYear = menus::SchoolYearOf(today, s.SchoolYearStartMonth);
    FUZZ_CHECK(schoolYear == today.year() || schoolYear == today.year() - 1);
    for (const int birthYear : {2010, 2019, 2020})
        (void)teacher::BrowserGrade(birthYear, today, s.SchoolYearStartMonth);
    return 0;
}
