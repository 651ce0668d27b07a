// The program profile of Tavoro and the start of a run.
#include "Profile.h"

#include "AppState.h"
#include "Screens.h"
#include "platform/Events.h"

namespace tavoro::core {

void SetProfile(AppState &state)
{
    state.profile.ProgramTitle = QStringLiteral("Tavoro");
    state.profile.MenuPrintMode = 0;
    state.profile.AllLevelsOpen = 1;
}

void SetLevelTable(AppState &state)
{
    Profile &p = state.profile;
    p.LevelCount = 7;
    p.GoalLevel = 7;

    // Entries 11 and 20 end in a half-width "1"; the other digits are full-width.
    static const char16_t *const names[] = {
        u"",
        u"",
        u"",
        u"",
        u"",
        u"",
        u"混合",
        u"レベル３－１",
        u"レベル３－２",
        u"レベル４練習",
        u"レベル４－1",
        u"レベル４－２",
        u"レベル５練習",
        u"レベル５－１",
        u"レベル５－２",
        u"レベル６練習",
        u"レベル６－１",
        u"レベル６－２",
        u"レベル７練習",
        u"レベル７－1",
        u"レベル７－２",
        u"レベル８練習",
        u"レベル８－１",
        u"レベル８－２",
    };
    for (int i = 1; i <= 24; ++i) {
        p.LevelNames[i] = QString::fromUtf16(names[i - 1]);
        p.LevelRecorded[i] = 1;
    }
    for (int i = 1; i <= 12; ++i) {
        if (p.LevelNames[i].isEmpty())
            p.LevelNames[i] = QStringLiteral("ﾚﾍﾞﾙ") + QString::number(i);
    }
}

void SetLevelTableAndShowMenu(AppState &state)
{
    SetLevelTable(state);
    if (state.screens)
        state.screens->showLevelMenu();
}

void StartLevel(AppState &state)
{
    state.run.RunFinished = 0;
    state.run.RecordingStarted = 0;
    state.run.SolvedCount = 0;
    state.run.TimeOutFlag = 0;
    platform::processPendingEvents();
    if (state.screens)
        state.screens->showDrill();
}

bool IsPracticeLevel(const AppState &state, int level)
{
    return level >= 0 && level <= kMaxLevel &&
           state.profile.LevelNames[level].contains(QStringLiteral("練"));
}

QString TrimSpaces(const QString &text)
{
    const QStringView trimmed = WithoutSpaces(text);
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QStringView WithoutSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

bool IsTeacherName(const QString &name)
{
    return name.contains(QStringLiteral("★")) || name.contains(QStringLiteral("先生"));
}

} // namespace tavoro::core
