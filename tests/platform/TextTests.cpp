// Code page 932, the field reader and number conversions.
#include "platform/FieldReader.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavoro::platform;

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

struct CodecCase {
    const char16_t *text;
    const char *bytes;
};

class Cp932RoundTrip : public ::testing::TestWithParam<CodecCase> {};

TEST_P(Cp932RoundTrip, EncodesToKnownBytesAndBack)
{
    const QString text = QString::fromUtf16(GetParam().text);
    bool lossless = false;
    EXPECT_EQ(toCp932(text, &lossless).toHex(), hex(GetParam().bytes).toHex());
    EXPECT_TRUE(lossless);
    EXPECT_EQ(fromCp932(hex(GetParam().bytes)), text);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932RoundTrip,
    ::testing::Values(CodecCase{u"①②③④⑤⑥", "874087418742874387448745"}, // NEC row 13
                      CodecCase{u"ⅠⅡⅢ", "875487558756"},
                      CodecCase{u"ﾚﾍﾞﾙ1", "dacdded9"
                                          "31"}, // half-width katakana, one byte each
                      CodecCase{u"レベル３－１", "838c8378838b8252817c8250"},
                      CodecCase{u"成績記録中", "90ac90d18b4c985e9286"},
                      CodecCase{u"～", "8160"}, // FULLWIDTH TILDE in windows-31j
                      CodecCase{u"－", "817c"}, // FULLWIDTH HYPHEN-MINUS
                      CodecCase{u"★先生", "819a90e690b6"}, CodecCase{u"12345 ", "313233343520"}));

TEST(Cp932, UnmappableCharactersAreReportedAndReplaced)
{
    bool lossless = true;
    EXPECT_EQ(toCp932(QStringLiteral("a😀b"), &lossless), QByteArray("a?b"));
    EXPECT_FALSE(lossless);
}

TEST(Cp932, PrefixNeverSplitsADoubleByteCharacter)
{
    EXPECT_EQ(cp932Prefix(QStringLiteral("12345"), 5), QStringLiteral("12345"));
    EXPECT_EQ(cp932Prefix(QStringLiteral("1あいう"), 5), QStringLiteral("1あい"));
    EXPECT_EQ(cp932Prefix(QStringLiteral("あいう"), 5), QStringLiteral("あい"));
    EXPECT_EQ(cp932Prefix(QStringLiteral("ｱあいう"), 5), QStringLiteral("ｱあい"));
    EXPECT_EQ(cp932Length(QStringLiteral("ｱあ①")), 5);
}

QStringList readAll(const QString &text)
{
    FieldReader r(text);
    QStringList out;
    while (!r.atEnd())
        out << r.next();
    return out;
}

struct FieldCase {
    const char16_t *input;
    std::vector<const char16_t *> fields;
};

class FieldRules : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldRules, SplitsAsTheFilesExpect)
{
    QStringList expected;
    for (const char16_t *f : GetParam().fields)
        expected << QString::fromUtf16(f);
    EXPECT_EQ(readAll(QString::fromUtf16(GetParam().input)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldRules,
    ::testing::Values(FieldCase{u"a,b,c\r\n", {u"a", u"b", u"c"}},
                      FieldCase{u"a\r\nb\r\nc", {u"a", u"b", u"c"}},
                      FieldCase{u"  lead, spaced  \r\n", {u"lead", u"spaced  "}},
                      FieldCase{u"\"x,y\",z\r\n", {u"x,y", u"z"}},
                      FieldCase{u"  \"quoted\"  ,next", {u"quoted", u"next"}},
                      FieldCase{u"\"kept\"junk,next", {u"kept", u"next"}},
                      FieldCase{u"\"two\r\nlines\",after", {u"two\r\nlines", u"after"}},
                      FieldCase{u"h1,h2,,,\r\n30", {u"h1", u"h2", u"", u"", u"", u"30"}},
                      FieldCase{u"a,,b", {u"a", u"", u"b"}},
                      FieldCase{u"a\nb\rc", {u"a", u"b", u"c"}},
                      FieldCase{u"a,\r\n\r\nb", {u"a", u"", u"", u"b"}},
                      FieldCase{u"正解音2,s1,s2,*\r\n", {u"正解音2", u"s1", u"s2", u"*"}}));

TEST(FieldReader, CountsLinesAndFields)
{
    FieldReader r(QStringLiteral("a,b\r\nc\r\n\"d\r\ne\",f"));
    EXPECT_EQ(r.line(), 1);
    r.next();
    r.next();
    EXPECT_EQ(r.line(), 2);
    r.next();
    EXPECT_EQ(r.line(), 3);
    EXPECT_EQ(r.next(), QStringLiteral("d\r\ne"));
    EXPECT_EQ(r.line(), 4);
    EXPECT_EQ(r.next(), QStringLiteral("f"));
    EXPECT_EQ(r.fieldsRead(), 5);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.next(), QString());
}

struct NumberCase {
    const char *text;
    double whole; // parseNumber
    bool ok;
    double leading; // leadingNumber
};

class NumberRules : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberRules, ReadsWholeAndLeadingNumbers)
{
    const QString t = QString::fromUtf8(GetParam().text);
    bool ok = !GetParam().ok;
    EXPECT_DOUBLE_EQ(parseNumber(t, &ok), GetParam().whole) << GetParam().text;
    EXPECT_EQ(ok, GetParam().ok) << GetParam().text;
    EXPECT_DOUBLE_EQ(leadingNumber(t), GetParam().leading) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberRules,
    ::testing::Values(NumberCase{"30", 30, true, 30}, NumberCase{" 1.5 ", 1.5, true, 1.5},
                      NumberCase{"-7", -7, true, -7}, NumberCase{"1e3", 1000, true, 1000},
                      NumberCase{"", 0, false, 0}, NumberCase{"abc", 0, false, 0},
                      NumberCase{"12345テスト", 0, false, 12345},
                      NumberCase{"00000学校", 0, false, 0}, NumberCase{"1 2", 0, false, 12},
                      NumberCase{"3.5.1", 0, false, 3.5}, NumberCase{".5", 0.5, true, 0.5},
                      NumberCase{"１２", 0, false, 0}, // full-width digits are no number
                      NumberCase{"9999", 9999, true, 9999}));

TEST(Numbers, RoundingAndDecimalTexts)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(shortestDecimal(1.0f), QStringLiteral("1"));
    EXPECT_EQ(shortestDecimal(1.5f), QStringLiteral("1.5"));
    EXPECT_EQ(shortestDecimal(1.1f), QStringLiteral("1.1"));
    EXPECT_EQ(shortestDecimal(0.7f), QStringLiteral("0.7"));
    EXPECT_EQ(numberText(30.0), QStringLiteral("30"));
    EXPECT_EQ(numberText(-4.0), QStringLiteral("-4"));
    EXPECT_EQ(toIntegral<std::int16_t>(40000.0), 32767);
    EXPECT_EQ(toIntegral<std::int16_t>(-1e300), -32768);
    EXPECT_EQ(toIntegral<std::int32_t>(30.5), 30);
    EXPECT_EQ(toIntegral<std::int32_t>(31.5), 32);
}

TEST(Paths, BothSeparatorsWork)
{
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("E:\\data")), QStringLiteral("E:\\data\\"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/srv/data")), QStringLiteral("/srv/data/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/srv/data/")), QStringLiteral("/srv/data/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("E:\\data\\")), QStringLiteral("E:\\data\\"));
    EXPECT_EQ(lastComponent(QStringLiteral("C:\\apps\\Tavoro")), QStringLiteral("Tavoro"));
    EXPECT_EQ(lastComponent(QStringLiteral("/opt/x/Tavoro")), QStringLiteral("Tavoro"));
    EXPECT_EQ(parentPath(QStringLiteral("/opt/x/Tavoro")), QStringLiteral("/opt/x"));
#ifndef Q_OS_WIN
    EXPECT_EQ(localPath(QStringLiteral("/a/b\\..\\c.txt")), QStringLiteral("/a/b/../c.txt"));
#endif
}

TEST(TextFile, WritesExactlyTheCharactersGivenInCp932)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("\\out.txt");
    ASSERT_TRUE(writeTextFile(path, QStringLiteral("目標Time,①\r\n")));
    const TextFileResult back = readTextFile(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.text, QStringLiteral("目标Time,①\r\n").replace(u'标', u'標'));
    QFile raw(localPath(path));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll().toHex(), hex("96da9557"
                                         "54696d65"
                                         "2c"
                                         "8740"
                                         "0d0a")
                                         .toHex());
    EXPECT_EQ(readTextFile(dir.path() + QStringLiteral("/missing.txt")).error, FileError::NotFound);
}

} // namespace
