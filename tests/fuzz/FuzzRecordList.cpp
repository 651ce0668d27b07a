// The record browser's listing: the row text of every record of a grade file.
// Input: the bytes of a grade file.
#include "FuzzSupport.h"

#include "records/RosterFile.h"
#include "teacher/RecordList.h"

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const teacher::BrowserRoster roster = [] {
        records::RosterFile file;
        file.parse(QStringLiteral("1,2019,0,0,佐藤　はると,0,,\r\n"
                                  "2,2020,0,0,中村　めい,0,,\r\n"
                                  "5000,2014,0,0,とても長い名前の生徒さんです,0,,\r\n"));
        return teacher::MakeBrowserRoster(file.lines(), QDate(2026, 12, 9), core::Variant(4));
    }();
    static const core::Settings settings = [] {
        core::Settings s;
        s.SchoolCode = QStringLiteral("31415");
        s.SchoolName = QStringLiteral("さくら小学校");
        return s;
    }();

    teacher::GradeListModel model;
    model.reset(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), roster,
                settings);
    FUZZ_CHECK(model.rowCount() <= int(size / records::kGradeRecordSize));
    for (int row = 0; row < model.rowCount(); ++row) {
        const std::int64_t n = model.recordNumber(row);
        FUZZ_CHECK(n >= 1 && model.rowOfRecord(n) == row);
        FUZZ_CHECK(model.record(row).RecLevel != 0);
        const QString text = model.rowText(row);
        FUZZ_CHECK(text == model.data(model.index(row), Qt::DisplayRole).toString());
        FUZZ_CHECK(text.startsWith(QString::number(n).rightJustified(4, u' ') + u' '));
    }
    FUZZ_CHECK(model.rowText(model.rowCount()).isEmpty());
    return 0;
}
