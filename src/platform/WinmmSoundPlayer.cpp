// Wave playback on Windows through winmm's MCI commands.
#include "SoundPlayer.h"

#include "Paths.h"
#include "WaveFile.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mmsystem.h>

namespace tavoro::platform {

namespace {

MCIERROR send(const QString &command)
{
    return mciSendStringW(reinterpret_cast<LPCWSTR>(command.utf16()), nullptr, 0, nullptr);
}

// The codes of the seam for the MCI errors a pupil's PC meets; the rest keep their own.
int codeOf(MCIERROR e)
{
    switch (e) {
    case 0:
        return SoundPlayer::Ok;
    case MCIERR_FILE_NOT_FOUND:
        return SoundPlayer::FileNotFound;
    case MCIERR_FILE_READ:
        return SoundPlayer::CannotReadFile;
    case MCIERR_INVALID_FILE:
    case MCIERR_UNSUPPORTED_FUNCTION:
    case MCIERR_WAVE_OUTPUTSUNSUITABLE:
        return SoundPlayer::UnsupportedFile;
    case MCIERR_DEVICE_NOT_INSTALLED:
    case MCIERR_CANNOT_LOAD_DRIVER:
    case MCIERR_WAVE_OUTPUTUNSPECIFIED:
        return SoundPlayer::NoOutputDevice;
    default:
        return int(e);
    }
}

} // namespace

int WinmmSoundPlayer::play(const QString &path)
{
    WaveData wave; // read first, so that a file MCI cannot play fails as on Linux
    if (const int code = readWave(path, &wave); code != Ok)
        return code;

    const QString name = QDir::toNativeSeparators(QFileInfo(localPath(path)).absoluteFilePath());
    const QString alias = QStringLiteral("tavoro_cue");
    MCIERROR e = send(QStringLiteral("open \"%1\" type waveaudio alias %2").arg(name, alias));
    if (e != 0)
        return codeOf(e);
    e = send(QStringLiteral("play %1 wait").arg(alias));
    send(QStringLiteral("close %1").arg(alias));
    return codeOf(e);
}

QString WinmmSoundPlayer::errorText(int code) const
{
    if (code == Ok || (code >= FileNotFound && code <= TimedOut))
        return SoundPlayer::errorText(code);
    wchar_t text[256] = {};
    if (mciGetErrorStringW(DWORD(code), text, 256))
        return QString::fromWCharArray(text);
    return SoundPlayer::errorText(code);
}

} // namespace tavoro::platform
