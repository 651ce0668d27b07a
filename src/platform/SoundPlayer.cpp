// The sound seam's result codes and their texts.
#include "SoundPlayer.h"

#include "Paths.h"
#include "WaveFile.h"

#include <QFile>

namespace tavoro::platform {

QString SoundPlayer::errorText(int code) const
{
    switch (code) {
    case Ok:
        return QStringLiteral("エラーはありません。");
    case FileNotFound:
        return QStringLiteral(
            "指定されたファイルが見つかりません。パスとファイル名を確認してください。");
    case CannotReadFile:
        return QStringLiteral("指定されたファイルを読み込めません。");
    case UnsupportedFile:
        return QStringLiteral("このファイルの形式は再生できません。");
    case NoOutputDevice:
        return QStringLiteral("音声を出力するデバイスがありません。");
    case DeviceError:
        return QStringLiteral("音声デバイスでエラーが起きました。");
    case TimedOut:
        return QStringLiteral("再生が時間内に終わりませんでした。");
    default:
        return QStringLiteral("不明なエラーです (%1)。").arg(code);
    }
}

int SoundPlayer::readWave(const QString &path, WaveData *wave)
{
    QFile file(localPath(path));
    if (!file.exists())
        return FileNotFound;
    if (!file.open(QIODevice::ReadOnly))
        return CannotReadFile;
    if (!parseWave(file.readAll(), wave, nullptr))
        return UnsupportedFile;
    return Ok;
}

} // namespace tavoro::platform
