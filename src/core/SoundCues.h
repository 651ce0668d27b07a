// Sound cues: the sound table file "新音ファイル.txt" and the six play operations.
#pragma once

#include <QString>

namespace tavoro::core {

struct AppState;

enum Cue {
    CueCorrect1 = 1,
    CueCorrect2 = 2,
    CueWrong1 = 3,
    CueWrong2 = 4,
    CueTop1 = 5,
    CueTop2 = 6,
    CuePersonal1 = 7,
    CuePersonal2 = 8,
    CuePersonal3 = 9,
    CueFail1 = 10,
};

// The ten cue names in cue order (index 1..10).
QString CueName(int cue);

QString SoundTableFilePath(const AppState &state);

// Reads the sound table file into SoundTable. A missing file leaves every cue without
// files, so its plays fail.
void LoadSoundTable(AppState &state);

// Reads the sound table from the text of a table file.
void ParseSoundTable(AppState &state, const QString &text);

// The play operations. Each plays to its end before returning. The correct and wrong cues
// count consecutive failures; the fourth shows "音声がでません。先生を呼びなさい。" and ends the
// program, in which case they return false and the caller must stop.
bool PlayCorrectSound(AppState &state);
bool PlayWrongSound(AppState &state);
void PlayPersonalRecordSound(AppState &state);
void PlayFailSound(AppState &state);
void PlayTopRecordSound(AppState &state);
void PlayPassSound(AppState &state);

} // namespace tavoro::core
