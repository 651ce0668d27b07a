// The criteria file and the sound cues.
#include "core/AppState.h"
#include "core/Criteria.h"
#include "core/SoundCues.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

using namespace tavoro;
using tavoro::test::FakeWorld;

namespace {

QString lines(std::initializer_list<const char16_t *> ls)
{
    QString out;
    for (const char16_t *l : ls)
        out += QString::fromUtf16(l) + QStringLiteral("\r\n");
    return out;
}

const char16_t *kHeading =
    u"目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,";

TEST(Criteria, HeadingOnlyLeavesEveryLevelEmpty)
{
    FakeWorld w;
    EXPECT_EQ(core::ParseCriteria(*w.state, lines({kHeading})), 0);
    const core::Criteria &c = w.state->criteria;
    EXPECT_EQ(c.TargetTime[0], 0);
    EXPECT_EQ(c.OveruseCount[0].text(), QStringLiteral("禁回"));
    EXPECT_EQ(c.OverusePeriodDays[0].text(), QStringLiteral("禁期間"));
    EXPECT_TRUE(c.CriteriaSpare3[0].isEmpty());
    for (int level = 1; level <= 35; ++level) {
        EXPECT_EQ(c.TargetTime[level], 0);
        EXPECT_TRUE(c.OveruseCount[level].isEmpty());
    }
}

TEST(Criteria, ReadsTheTwelveFieldsOfALevel)
{
    FakeWorld w;
    EXPECT_EQ(core::ParseCriteria(*w.state, lines({kHeading, u"30,60,100,3,1,0,0,7,7,,,",
                                                   u"45,90,9999,9999,1.5,,,14,abc,x,\"y,z\",2"})),
              2);
    const core::Criteria &c = w.state->criteria;
    EXPECT_EQ(c.TargetTime[1], 30);
    EXPECT_EQ(c.MinTime[1], 60);
    EXPECT_EQ(c.ClearPoints[1], 100);
    EXPECT_EQ(c.ClearCount[1], 3);
    EXPECT_FLOAT_EQ(c.PointMultiplier[1], 1.0f);
    EXPECT_TRUE(c.OveruseCount[1].equals(0));
    EXPECT_FALSE(c.OveruseCount[1].isNonZero());
    EXPECT_TRUE(c.PassPeriodDays[1].equals(7));
    EXPECT_TRUE(c.CriteriaSpare1[1].isEmpty());
    // Empty too-much limits behave like 0; a text limit is never reached.
    EXPECT_TRUE(c.OveruseCount[2].isEmpty());
    EXPECT_TRUE(c.OveruseCount[2].equals(0));
    EXPECT_TRUE(c.OverusePeriodDays[2].isText());
    EXPECT_FALSE(c.OverusePeriodDays[2].reachedBy(1e9));
    EXPECT_EQ(c.CriteriaSpare2[2].text(), QStringLiteral("y,z"));
    EXPECT_TRUE(c.CriteriaSpare3[2].equals(2));
    EXPECT_EQ(c.ClearCount[2], 9999);
    EXPECT_FLOAT_EQ(c.PointMultiplier[2], 1.5f);
}

TEST(Criteria, NonNumericNumberFieldsReadAsZero)
{
    FakeWorld w;
    core::ParseCriteria(*w.state, lines({kHeading, u"abc,60x,,3,zwei,5,6,7,8,,,"}));
    const core::Criteria &c = w.state->criteria;
    EXPECT_EQ(c.TargetTime[1], 0);
    EXPECT_EQ(c.MinTime[1], 0);
    EXPECT_EQ(c.ClearPoints[1], 0);
    EXPECT_EQ(c.ClearCount[1], 3);
    EXPECT_FLOAT_EQ(c.PointMultiplier[1], 0.0f);
    EXPECT_TRUE(c.OverusePoints[1].equals(6));
}

TEST(Criteria, AShorterSecondLoadKeepsTheLevelsItDoesNotName)
{
    FakeWorld w;
    core::ParseCriteria(*w.state,
                        lines({kHeading, u"30,60,100,3,1,0,0,7,7,,,", u"40,80,100,3,1,0,0,7,7,,,",
                               u"50,99,100,3,1,2,0,7,7,,,"}));
    core::ParseCriteria(*w.state, lines({kHeading, u"31,61,101,4,2,0,0,7,7,,,"}));
    const core::Criteria &c = w.state->criteria;
    EXPECT_EQ(c.TargetTime[1], 31);
    EXPECT_EQ(c.TargetTime[2], 40);
    EXPECT_EQ(c.MinTime[3], 99);
    EXPECT_TRUE(c.OveruseCount[3].equals(2));
}

TEST(Criteria, LinesBeyondLevel35AreIgnored)
{
    FakeWorld w;
    QString text = lines({kHeading});
    for (int level = 1; level <= 40; ++level)
        text += QStringLiteral("%1,60,100,3,1,0,0,7,7,,,\r\n").arg(level);
    EXPECT_EQ(core::ParseCriteria(*w.state, text), 35);
    EXPECT_EQ(w.state->criteria.TargetTime[35], 35);
}

TEST(Criteria, TimeLimitIsFiveTimesMinTime)
{
    FakeWorld w;
    core::ParseCriteria(*w.state, lines({kHeading, u"30,60,100,3,1,0,0,7,7,,,"}));
    EXPECT_EQ(5 * w.state->criteria.MinTime[1], 300);
}

TEST(Criteria, LoadsFromTheProgramDataFolder)
{
    FakeWorld w;
    test::Installation inst;
    inst.writeDefaults();
    w.state->settings.ProgramDataFolder = inst.programDataFolder();
    EXPECT_FALSE(core::LoadCriteria(*w.state));
    EXPECT_EQ(w.state->criteria.TargetTime[7], 55);
    QFile::remove(core::CriteriaFilePath(*w.state));
    const auto err = core::LoadCriteria(*w.state);
    ASSERT_TRUE(err);
    EXPECT_TRUE(err->contains(QStringLiteral("ありません")));
}

// ---- sound table -----------------------------------------------------------------------

TEST(SoundTable, ReadsGroupsAndSkipsWhatIsNoCue)
{
    FakeWorld w;
    core::ParseSoundTable(*w.state, lines({u"junk,more junk", u"正解音2,a,b,c,*", u"未知の音,x,y,*",
                                           u"間違い音2,m1,*"}));
    const auto &t = w.state->sound.SoundTable;
    EXPECT_EQ(t[1][0], QStringLiteral("正解音1"));
    EXPECT_EQ(t[10][0], QStringLiteral("不合格音1"));
    EXPECT_EQ(t[2][21], QStringLiteral("3"));
    EXPECT_EQ(t[2][1], QStringLiteral("a"));
    EXPECT_EQ(t[2][3], QStringLiteral("c"));
    EXPECT_EQ(t[4][21], QStringLiteral("1"));
    EXPECT_EQ(t[4][1], QStringLiteral("m1"));
    // "x" and "y" of the unknown group were read as possible cue names and skipped.
    for (int cue = 1; cue <= 10; ++cue)
        for (int slot = 1; slot <= 20; ++slot)
            EXPECT_NE(t[cue][slot], QStringLiteral("x"));
}

TEST(SoundTable, CueNamesAreWidthSensitive)
{
    FakeWorld w;
    core::ParseSoundTable(*w.state, lines({u"正解音２,a,*"})); // full-width 2
    EXPECT_TRUE(w.state->sound.SoundTable[2][21].isEmpty());
}

TEST(SoundTable, ALaterGroupOverwritesTheSlotsItNames)
{
    FakeWorld w;
    core::ParseSoundTable(*w.state, lines({u"正解音2,a,b,c,*", u"正解音2,z,*"}));
    const auto &t = w.state->sound.SoundTable;
    EXPECT_EQ(t[2][21], QStringLiteral("1"));
    EXPECT_EQ(t[2][1], QStringLiteral("z"));
    EXPECT_EQ(t[2][2], QStringLiteral("b")); // not named again, so kept
}

TEST(SoundTable, EmptyGroupCountsZero)
{
    FakeWorld w;
    core::ParseSoundTable(*w.state, lines({u"不合格音1,*"}));
    EXPECT_EQ(w.state->sound.SoundTable[10][21], QStringLiteral("0"));
    EXPECT_TRUE(w.state->sound.SoundTable[10][1].isEmpty());
}

TEST(SoundTable, MoreThanTwentyNamesLeaveTheCountAndGoOn)
{
    FakeWorld w;
    QString group = QStringLiteral("正解音2");
    for (int i = 1; i <= 21; ++i)
        group += QStringLiteral(",f%1").arg(i);
    group += QStringLiteral(",*,間違い音2,m,*");
    core::ParseSoundTable(*w.state, group);
    const auto &t = w.state->sound.SoundTable;
    EXPECT_TRUE(t[2][21].isEmpty());
    EXPECT_EQ(t[2][20], QStringLiteral("f20"));
    EXPECT_EQ(t[4][21], QStringLiteral("1")); // reading went on after the long group
}

TEST(SoundTable, MissingFileLeavesCuesWithoutFiles)
{
    FakeWorld w;
    w.state->settings.SoundFolder = QStringLiteral("/nonexistent/音フォルダ\\");
    core::LoadSoundTable(*w.state);
    EXPECT_EQ(w.state->sound.SoundTable[2][0], QStringLiteral("正解音2"));
    EXPECT_TRUE(w.state->sound.SoundTable[2][21].isEmpty());
}

// ---- playing ---------------------------------------------------------------------------

class Cues : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.state->settings.SoundFolder = QStringLiteral("/snd\\");
        core::ParseSoundTable(*world.state, lines({u"正解音2,a,b,c,*", u"間違い音2,w,*",
                                                   u"自己最高音2,p,*", u"不合格音1,f,*"}));
    }
    FakeWorld world;
    core::AppState &s() { return *world.state; }
};

TEST_F(Cues, EachOperationPlaysItsFile)
{
    world.random.queued = {0.0, 0.5, 0.99, 0.0, 0.0, 0.0};
    core::PlayCorrectSound(s());
    core::PlayCorrectSound(s());
    core::PlayCorrectSound(s());
    core::PlayWrongSound(s());
    core::PlayPersonalRecordSound(s());
    core::PlayFailSound(s());
    core::PlayTopRecordSound(s());
    core::PlayPassSound(s());
    EXPECT_EQ(world.sound.played,
              (QStringList{"/snd\\a.wav", "/snd\\b.wav", "/snd\\c.wav", "/snd\\w.wav",
                           "/snd\\p.wav", "/snd\\f.wav", QStringLiteral("/snd\\最高1.wav"),
                           QStringLiteral("/snd\\合格.wav")}));
    EXPECT_EQ(s().sound.MciCommand, QStringLiteral("play /snd\\合格.wav wait"));
    EXPECT_EQ(s().sound.MciResult, QStringLiteral("0"));
}

TEST_F(Cues, ThreeFilesArePickedAboutEquallyOften)
{
    for (int i = 0; i < 3000; ++i)
        core::PlayCorrectSound(s());
    for (const char *f : {"/snd\\a.wav", "/snd\\b.wav", "/snd\\c.wav"}) {
        const auto n = world.sound.played.count(QString::fromLatin1(f));
        EXPECT_GT(n, 850) << f;
        EXPECT_LT(n, 1150) << f;
    }
}

TEST_F(Cues, FourthConsecutiveFailureShowsTheMessageAndEnds)
{
    world.sound.defaultResult = platform::SoundPlayer::FileNotFound;
    EXPECT_TRUE(core::PlayCorrectSound(s()));
    EXPECT_TRUE(core::PlayWrongSound(s()));
    EXPECT_TRUE(core::PlayCorrectSound(s()));
    EXPECT_EQ(s().sound.SoundErrorCount, 3);
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_FALSE(world.programExit.requested);
    EXPECT_EQ(s().sound.MciResult, QString::number(platform::SoundPlayer::FileNotFound));

    EXPECT_FALSE(core::PlayWrongSound(s()));
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].title, QStringLiteral("音声エラー"));
    EXPECT_EQ(world.dialogs.calls[0].text,
              QStringLiteral("音声がでません。先生を呼びなさい。\r\n") +
                  world.sound.errorText(platform::SoundPlayer::FileNotFound));
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeAll")));
}

TEST_F(Cues, ASuccessInBetweenResetsTheCount)
{
    world.sound.results = {1, 1, 1, 0, 1, 1, 1};
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(core::PlayCorrectSound(s())) << i;
    EXPECT_EQ(s().sound.SoundErrorCount, 3);
    EXPECT_TRUE(world.dialogs.calls.empty());
}

TEST_F(Cues, FinishScreenSoundsNeitherCountNorReset)
{
    world.sound.defaultResult = 1;
    for (int i = 0; i < 10; ++i) {
        core::PlayPersonalRecordSound(s());
        core::PlayFailSound(s());
        core::PlayTopRecordSound(s());
        core::PlayPassSound(s());
    }
    EXPECT_EQ(s().sound.SoundErrorCount, 0);
    EXPECT_TRUE(world.dialogs.calls.empty());
    s().sound.SoundErrorCount = 2;
    world.sound.defaultResult = 0;
    core::PlayPassSound(s());
    EXPECT_EQ(s().sound.SoundErrorCount, 2);
}

TEST(SoundCue, AnEmptyGroupPlaysNoFileAndCountsAFailure)
{
    FakeWorld w;
    w.state->settings.SoundFolder = QStringLiteral("/snd\\");
    core::ParseSoundTable(*w.state, lines({u"正解音2,*"}));
    w.sound.defaultResult = platform::SoundPlayer::FileNotFound;
    EXPECT_TRUE(core::PlayCorrectSound(*w.state));
    EXPECT_EQ(w.sound.played.last(), QStringLiteral("/snd\\.wav"));
    EXPECT_EQ(w.state->sound.SoundErrorCount, 1);
}

} // namespace
