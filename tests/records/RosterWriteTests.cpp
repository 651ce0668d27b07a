// The roster's writer: a line as the installation writes its text files, and a roster with
// some pupils put in while every other line keeps its bytes.
#include "RecordsWorld.h"

#include "platform/TextCodec.h"
#include "records/RosterFile.h"

#include <gtest/gtest.h>

using namespace tavoro;
using namespace tavoro::test;
using records::RosterLine;

namespace {

RosterLine pupil(int number, int birthYear, const QString &name, int state = 0)
{
    RosterLine l;
    l.Number = std::int16_t(number);
    l.BirthYear = std::int16_t(birthYear);
    l.Name = records::RosterText(name);
    l.State = std::int16_t(state);
    l.Field7 = records::RosterText(QString());
    l.Field8 = records::RosterText(QString());
    return l;
}

} // namespace

TEST(RosterWrite, ALineIsItsEightFieldsWithoutPaddingOrQuotes)
{
    RosterLine l = pupil(12, 2016, QStringLiteral(" 山田　太郎"), 2);
    l.Field3 = -3;
    l.Field4 = 4;
    l.Field7 = records::RosterText(QStringLiteral("備考"));
    // 12,2016,-3,4,山田　太郎,2,備考, (the leading space of the name goes with the padding)
    EXPECT_EQ(records::RosterLineBytes(l),
              fromHex("31 32 2c 32 30 31 36 2c 2d 33 2c 34 2c 8e 52 93 63 81 40 91 be 98 59 2c 32 "
                      "2c 94 f5 8d 6c 2c"));
    EXPECT_EQ(records::RosterFileBytes({l, pupil(1, 2015, QStringLiteral("A"))}),
              records::RosterLineBytes(l) + QByteArray("\r\n1,2015,0,0,A,0,,\r\n"));
    EXPECT_EQ(records::RosterFileBytes({}), QByteArray());
}

struct MergeCase {
    const char *name;
    QByteArray old;
    QByteArray merged;
};

class RosterMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(RosterMerge, PutsThePupilsInAndKeepsTheRest)
{
    // Pupil 2 is renamed, pupil 9 is new.
    EXPECT_EQ(records::MergedRosterBytes(GetParam().old, {pupil(2, 2016, QStringLiteral("B")),
                                                          pupil(9, 2019, QStringLiteral("N"))}),
              GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RosterMerge,
    ::testing::Values(
        MergeCase{"Empty", QByteArray(), "2,2016,0,0,B,0,,\r\n9,2019,0,0,N,0,,\r\n"},
        MergeCase{"LineEndsOfEveryKind", "1,2015,0,0,a,0,,\n2,2015,0,0,b,0,,\r3,2015,0,0,c,0,,\r\n",
                  "1,2015,0,0,a,0,,\n2,2016,0,0,B,0,,\r3,2015,0,0,c,0,,\r\n9,2019,0,0,N,0,,\r\n"},
        // The reader takes the later of two lines of one number: that one is replaced.
        MergeCase{"ANumberGivenTwice", "2,2015,0,0,old,0,,\r\n2,2015,0,0,later,0,,\r\n",
                  "2,2015,0,0,old,0,,\r\n2,2016,0,0,B,0,,\r\n9,2019,0,0,N,0,,\r\n"},
        // A line the reader leaves out stays, and the pupil is added.
        MergeCase{"AFaultyLineOfThatNumber", "2,2015,0,0,b\r\n",
                  "2,2015,0,0,b\r\n2,2016,0,0,B,0,,\r\n9,2019,0,0,N,0,,\r\n"},
        MergeCase{"NoLineEndAtTheEnd", "1,2015,0,0,a,0,,",
                  "1,2015,0,0,a,0,,\r\n2,2016,0,0,B,0,,\r\n9,2019,0,0,N,0,,\r\n"},
        MergeCase{"BytesThatAreNoCharacter", "1,2015,0,0,\x81\xff,0,,\r\n\r\n",
                  "1,2015,0,0,\x81\xff,0,,\r\n\r\n2,2016,0,0,B,0,,\r\n9,2019,0,0,N,0,,\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RosterWrite, TextsTheRosterCannotHold)
{
    const struct {
        const char16_t *text;
        const char16_t *problem; // empty: fine
    } cases[] = {
        {u"山田　花子", u""},
        {u"髙橋 ①", u""}, // the NEC and IBM extensions of the code page
        {u"あいうえおかきくけこさしすせそたちつてと", u""},
        {u"あいうえおかきくけこさしすせそたちつてとな",
         u"21 文字あります（名簿は 20 文字までしか読みません）"},
        {u"a,b", u"コンマ（,）や二重引用符（\"）は使えません"},
        {u"\"a", u"コンマ（,）や二重引用符（\"）は使えません"},
        {u"a\nb", u"改行は使えません"},
        {u"𠮷野", u"「𠮷」はシフトJIS（コードページ932）で書けない文字です"},
        {u"Ä", u"「Ä」はシフトJIS（コードページ932）で書けない文字です"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(records::RosterTextProblem(QString::fromUtf16(c.text)),
                  QString::fromUtf16(c.problem))
            << QString::fromUtf16(c.text).toStdString();
}
