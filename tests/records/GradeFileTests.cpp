// The 44-byte grade record, byte by byte, and the grade file's record access.
#include "RecordsWorld.h"

#include "platform/RecordFile.h"
#include "records/GradeFile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;
using records::GradeText;

namespace {

QByteArray encodeOne(const GradeRecord &r)
{
    QByteArray bytes(records::kGradeRecordSize, '\0');
    records::EncodeGradeRecord(r, bytes.data());
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(GradeRecord, EncodesTheFortyFourBytesLittleEndian)
{
    GradeRecord r;
    r.RecDate = 46365;  // 2026-12-09
    r.RecClock = 0.375; // 09:00:00
    r.RecStudent = 1234;
    r.RecLevel = 7;
    r.RecSeconds = 99999;
    r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
    r.RecNote = records::GradeTextField(QString());
    r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
    r.RecReserved = records::GradeTextField(QString());

    const QByteArray expected = fromHex("00 00 00 00 a0 a3 e6 40" // RecDate
                                        "00 00 00 00 00 00 d8 3f" // RecClock
                                        "d2 04"                   // RecStudent
                                        "07 00"                   // RecLevel
                                        "9f 86 01 00"             // RecSeconds
                                        "31 32 33 34 35"          // RecSchool
                                        "20 20 20 20 20"          // RecNote
                                        "30 20 20 20 20"          // RecPointsText
                                        "20 20 20 20 20");        // RecReserved
    ASSERT_EQ(expected.size(), 44);
    EXPECT_EQ(encodeOne(r).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(records::DecodeGradeRecord(expected.constData()), r);
}

TEST(GradeRecord, NegativeNumbersAndAFractionalClock)
{
    GradeRecord r;
    r.RecDate = 0;
    r.RecClock = (13 * 3600 + 5 * 60 + 7.5) / 86400.0;
    r.RecStudent = -2;
    r.RecLevel = 0;
    r.RecSeconds = -5;
    const QByteArray bytes = encodeOne(r);
    EXPECT_EQ(bytes.mid(0, 8).toHex(' '), QByteArray("00 00 00 00 00 00 00 00"));
    EXPECT_EQ(bytes.mid(8, 8).toHex(' '), QByteArray("28 7d d2 27 7d 72 e1 3f"));
    EXPECT_EQ(bytes.mid(16, 8).toHex(' '), QByteArray("fe ff 00 00 fb ff ff ff"));
    EXPECT_EQ(records::DecodeGradeRecord(bytes.constData()), r);
}

TEST(GradeRecord, DecodingAndEncodingKeepEveryByte)
{
    // Texts that are not valid code page 932 survive a read and a write unchanged.
    QByteArray bytes(44, '\0');
    for (int i = 0; i < 44; ++i)
        bytes[i] = char(0x80 + i * 3);
    EXPECT_EQ(encodeOne(records::DecodeGradeRecord(bytes.constData())), bytes);
}

struct TextCase {
    const char16_t *text;
    const char *hex;
};

class GradeTextFieldTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(GradeTextFieldTest, CutsToFiveBytesWithoutSplittingACharacter)
{
    const GradeText field = records::GradeTextField(QString::fromUtf16(GetParam().text));
    EXPECT_EQ(QByteArray(field.data(), 5).toHex(' '), QByteArray(GetParam().hex));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GradeTextFieldTest,
    ::testing::Values(TextCase{u"", "20 20 20 20 20"}, TextCase{u"0", "30 20 20 20 20"},
                      TextCase{u"12345", "31 32 33 34 35"}, TextCase{u"1234567", "31 32 33 34 35"},
                      // あ い are two bytes each: the third would need bytes 5 and 6
                      TextCase{u"あいう", "82 a0 82 a2 20"},
                      // a あ い fit exactly
                      TextCase{u"aあいう", "61 82 a0 82 a2"}, TextCase{u"abcdあ", "61 62 63 64 20"},
                      // half-width katakana take one byte each
                      TextCase{u"ｱｲｳｴｵｶ", "b1 b2 b3 b4 b5"}));

TEST(GradeRecord, FieldTextsWithAndWithoutPadding)
{
    const GradeText field = records::GradeTextField(QStringLiteral("あ1"));
    EXPECT_EQ(records::GradeFieldText(field), QStringLiteral("あ1  "));
    EXPECT_EQ(records::GradeFieldTrimmed(field), QStringLiteral("あ1"));
    EXPECT_EQ(records::GradeFieldTrimmed(records::GradeTextField(QString())), QString());
}

TEST(GradeRecord, DateValues)
{
    EXPECT_EQ(records::DateValue(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(records::DateValue(QDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(records::DateValue(QDate(2026, 12, 9)), 46365.0);
    EXPECT_EQ(records::DateFromValue(46365.75), QDate(2026, 12, 9));
    EXPECT_FALSE(records::DateFromValue(std::nan("")).isValid());
}

TEST(GradeRecord, RangeOfEveryReader)
{
    EXPECT_TRUE(records::GradeRecordInRange(makeRecord(0, 0, 1)));
    EXPECT_TRUE(records::GradeRecordInRange(makeRecord(5000, 35, 1)));
    EXPECT_FALSE(records::GradeRecordInRange(makeRecord(5001, 1, 1)));
    EXPECT_FALSE(records::GradeRecordInRange(makeRecord(-1, 1, 1)));
    EXPECT_FALSE(records::GradeRecordInRange(makeRecord(1, 36, 1)));
    EXPECT_FALSE(records::GradeRecordInRange(makeRecord(1, -1, 1)));
}

TEST(GradeFile, OpenCreatesAMissingFileEmpty)
{
    RecordsWorld w;
    EXPECT_EQ(records::GradeFilePath(w.state->settings), w.gradePath());
    platform::RecordFile file;
    ASSERT_TRUE(records::OpenGradeFile(*w.state, file));
    EXPECT_EQ(records::GradeRecordCount(file), 0);
    EXPECT_TRUE(QFile::exists(w.gradePath()));
}

TEST(GradeFile, CountsOnlyWholeRecordsAndReadsAndWritesByNumber)
{
    RecordsWorld w;
    const GradeRecord a = makeRecord(1, 1, 30);
    const GradeRecord b = makeRecord(2, 3, 45);
    writeFile(w.gradePath(), encode({a, b}) + QByteArray(20, 'x'));
    platform::RecordFile file;
    ASSERT_TRUE(records::OpenGradeFile(*w.state, file));
    EXPECT_EQ(records::GradeRecordCount(file), 2);
    GradeRecord r;
    ASSERT_TRUE(records::ReadGradeRecord(file, 2, r));
    EXPECT_EQ(r, b);
    EXPECT_FALSE(records::ReadGradeRecord(file, 3, r)); // the partial record is no record
    EXPECT_FALSE(records::ReadGradeRecord(file, 0, r));

    GradeRecord changed = a;
    changed.RecSeconds = 29;
    ASSERT_TRUE(records::WriteGradeRecord(file, 1, changed));
    file.close();
    EXPECT_EQ(readFile(w.gradePath()), encode({changed, b}) + QByteArray(20, 'x'));
}

TEST(GradeFile, TheRecordOfARunHoldsTheTimeOfDayInWholeSeconds)
{
    RecordsWorld w;
    const auto clockOf = [&](double seconds) {
        w.clock.seconds = seconds;
        return std::bit_cast<std::uint64_t>(records::MakeRunRecord(*w.state).RecClock);
    };
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    EXPECT_EQ(clockOf(45296.75), bits(45296.0 / 86400.0)); // 12:34:56.75
    EXPECT_EQ(clockOf(45296.0), bits(45296.0 / 86400.0));
    EXPECT_EQ(clockOf(0.5), bits(0.0));
    EXPECT_EQ(clockOf(86399.9), bits(86399.0 / 86400.0));
}

TEST(GradeFile, TheRecordOfARun)
{
    RecordsWorld w;
    w.clock.date = QDate(2026, 12, 9);
    w.clock.seconds = 9 * 3600;
    w.state->pupil.CurrentStudent = 1234;
    w.state->run.CurrentLevel = 7;
    w.state->run.RunTime = 45;
    EXPECT_EQ(encodeOne(records::MakeRunRecord(*w.state)).toHex(' '),
              fromHex("00 00 00 00 a0 a3 e6 40 00 00 00 00 00 00 d8 3f d2 04 07 00 2d 00 00 00"
                      "31 32 33 34 35 20 20 20 20 20 30 20 20 20 20 20 20 20 20 20")
                  .toHex(' '));

    // A school without a code writes five spaces.
    w.state->settings.SchoolCode.clear();
    const GradeRecord r = records::MakeRunRecord(*w.state);
    EXPECT_EQ(QByteArray(r.RecSchool.data(), 5), QByteArray("     "));
}
