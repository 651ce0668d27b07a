// Sound cues.
#include "SoundCues.h"

#include "AppState.h"
#include "Screens.h"
#include "platform/Dialogs.h"
#include "platform/FieldReader.h"
#include "platform/Numbers.h"
#include "platform/ProgramExit.h"
#include "platform/Random.h"
#include "platform/SoundPlayer.h"
#include "platform/TextFile.h"

namespace tavoro::core {
namespace {

constexpr int kMaxNames = 20;
constexpr int kCountSlot = 21;

// Sends one play command and keeps its result.
int sendPlay(AppState &state, const QString &file)
{
    const QString path = state.settings.SoundFolder + file;
    state.sound.MciCommand = QStringLiteral("play ") + path + QStringLiteral(" wait");
    const int code = state.soundPlayer().play(path);
    state.sound.MciResult = QString::number(code);
    return code;
}

int playCue(AppState &state, int cue)
{
    const auto &slots = state.sound.SoundTable[cue];
    const int n = platform::toIntegral<int>(platform::parseNumber(slots[kCountSlot]));
    int k = int(state.random().next() * n + 1);
    k = std::clamp(k, 1, kMaxNames);
    return sendPlay(state, slots[k] + QStringLiteral(".wav"));
}

// The error check of the correct and wrong cues.
bool checkResult(AppState &state, int code)
{
    if (code == 0) {
        state.sound.SoundErrorCount = 0;
        return true;
    }
    if (state.sound.SoundErrorCount < 3) {
        ++state.sound.SoundErrorCount;
        return true;
    }
    const QString text = QStringLiteral("音声がでません。先生を呼びなさい。\r\n") +
                         state.soundPlayer().errorText(code);
    state.dialogs().message(state.screens ? state.screens->activeWindow() : nullptr, text,
                            QStringLiteral("音声エラー"));
    if (state.screens)
        state.screens->closeAll();
    state.programExit().exit(0);
    return false;
}

} // namespace

QString CueName(int cue)
{
    static const char16_t *const names[] = {
        u"",        u"正解音1",     u"正解音2",     u"間違い音1",   u"間違い音2", u"最高音1",
        u"最高音2", u"自己最高音1", u"自己最高音2", u"自己最高音3", u"不合格音1",
    };
    return cue >= 0 && cue <= SoundState::kCues ? QString::fromUtf16(names[cue]) : QString();
}

QString SoundTableFilePath(const AppState &state)
{
    return state.settings.SoundFolder + QStringLiteral("新音ファイル.txt");
}

void ParseSoundTable(AppState &state, const QString &text)
{
    auto &table = state.sound.SoundTable;
    for (int i = 1; i <= SoundState::kCues; ++i)
        table[i][0] = CueName(i);

    platform::FieldReader reader(text);
    while (!reader.atEnd()) {
        const QString v = reader.next();
        for (int i = 1; i <= SoundState::kCues; ++i) {
            if (table[i][0] != v)
                continue;
            for (int j = 1; j <= kMaxNames; ++j) {
                if (reader.atEnd())
                    break;
                const QString w = reader.next();
                if (w == QStringLiteral("*")) {
                    table[i][kCountSlot] = QString::number(j - 1);
                    break;
                }
                table[i][j] = w;
            }
        }
    }
}

void LoadSoundTable(AppState &state)
{
    const platform::TextFileResult file = platform::readTextFile(SoundTableFilePath(state));
    ParseSoundTable(state, file.ok() ? file.text : QString());
}

bool PlayCorrectSound(AppState &state)
{
    return checkResult(state, playCue(state, CueCorrect2));
}

bool PlayWrongSound(AppState &state)
{
    return checkResult(state, playCue(state, CueWrong2));
}

void PlayPersonalRecordSound(AppState &state)
{
    playCue(state, CuePersonal2);
}

void PlayFailSound(AppState &state)
{
    playCue(state, CueFail1);
}

void PlayTopRecordSound(AppState &state)
{
    sendPlay(state, QStringLiteral("最高1.wav"));
}

void PlayPassSound(AppState &state)
{
    sendPlay(state, QStringLiteral("合格.wav"));
}

} // namespace tavoro::core
