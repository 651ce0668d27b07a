// The sound seam: plays one wave file to its end before returning.
#pragma once

#include <QString>

#include <memory>

namespace tavoro::platform {

struct WaveData;

class SoundPlayer {
public:
    // Result codes of play(); 0 is success.
    enum Code {
        Ok = 0,
        FileNotFound = 275,
        CannotReadFile = 276,
        UnsupportedFile = 277,
        NoOutputDevice = 278,
        DeviceError = 279,
        TimedOut = 280,
    };

    virtual ~SoundPlayer() = default;
    // Plays the wave file and returns when it has sounded to its end (0), or at once with a
    // non-zero code when it cannot be played. Never waits much longer than the file lasts.
    virtual int play(const QString &path) = 0;
    // A description of a result code, for the message shown to the pupil.
    virtual QString errorText(int code) const;

protected:
    // Reads and checks the wave file of a play: Ok, or the code the play ends with.
    static int readWave(const QString &path, WaveData *wave);
};

#ifdef _WIN32
// The real player on Windows: the system's own multimedia interface (winmm's MCI), which
// plays the file to its end before it returns, so the calling window handles no input
// meanwhile and clicks made during the sound are handled afterwards.
class WinmmSoundPlayer final : public SoundPlayer {
public:
    int play(const QString &path) override;
    // The system's text for an MCI error that has no code of its own here.
    QString errorText(int code) const override;
};
using SystemSoundPlayer = WinmmSoundPlayer;
#else
// The real player on Qt Multimedia. Playback runs on a thread of its own while the calling
// thread waits, so the calling window handles no input until the sound has ended, and
// clicks made meanwhile are handled afterwards.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    int play(const QString &path) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
using SystemSoundPlayer = QtSoundPlayer;
#endif

} // namespace tavoro::platform
