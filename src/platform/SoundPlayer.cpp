// Wave playback on Qt Multimedia's audio sink.
#include "SoundPlayer.h"

#include "Paths.h"
#include "WaveFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

namespace tavoro::platform {

QString SoundPlayer::errorText(int code) const
{
    switch (code) {
    case Ok:
        return QStringLiteral("エラーはありません。");
    case FileNotFound:
        return QStringLiteral("指定されたファイルが見つかりません。パスとファイル名を確認してください。");
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

namespace {

// Extra time allowed beyond the file's own duration before a play counts as failed.
constexpr int kMarginMs = 1500;

QAudioFormat formatOf(const WaveData &w)
{
    QAudioFormat f;
    f.setSampleRate(w.sampleRate);
    f.setChannelCount(w.channels);
    if (w.isFloat)
        f.setSampleFormat(QAudioFormat::Float);
    else if (w.bitsPerSample == 8)
        f.setSampleFormat(QAudioFormat::UInt8);
    else if (w.bitsPerSample == 16)
        f.setSampleFormat(QAudioFormat::Int16);
    else
        f.setSampleFormat(QAudioFormat::Int32);
    return f;
}

// 24-bit samples are widened to 32 bits, the nearest format an audio sink takes.
void widen24(WaveData &w)
{
    if (w.bitsPerSample != 24)
        return;
    const qsizetype n = w.samples.size() / 3;
    QByteArray out(n * 4, '\0');
    for (qsizetype i = 0; i < n; ++i) {
        out[i * 4] = 0;
        out[i * 4 + 1] = w.samples[i * 3];
        out[i * 4 + 2] = w.samples[i * 3 + 1];
        out[i * 4 + 3] = w.samples[i * 3 + 2];
    }
    w.samples = out;
    w.bitsPerSample = 32;
}

// Lives on the playback thread.
class PlaybackWorker : public QObject {
public:
    int play(const WaveData &wave)
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return SoundPlayer::NoOutputDevice;
        QAudioSink sink(device, formatOf(wave));
        QBuffer buffer;
        buffer.setData(wave.samples);
        buffer.open(QIODevice::ReadOnly);

        const int durationMs = int(wave.durationSeconds() * 1000.0 + 0.5);
        QEventLoop loop;
        int result = -1;
        QElapsedTimer started;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
            if (result < 0)
                result = SoundPlayer::TimedOut;
            loop.quit();
        });
        QTimer tail; // the rest of the sound still in the device's buffer after the drain
        tail.setSingleShot(true);
        QObject::connect(&tail, &QTimer::timeout, &loop, [&] {
            result = SoundPlayer::Ok;
            loop.quit();
        });
        QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&](QAudio::State state) {
            if (state == QAudio::IdleState && buffer.atEnd()) {
                const qint64 left = qMax<qint64>(0, durationMs - started.elapsed());
                tail.start(int(left));
            } else if (state == QAudio::StoppedState && sink.error() != QAudio::NoError &&
                       result < 0) {
                result = SoundPlayer::DeviceError;
                loop.quit();
            }
        });
        started.start();
        sink.start(&buffer);
        if (sink.error() != QAudio::NoError && sink.state() == QAudio::StoppedState)
            return SoundPlayer::DeviceError;
        guard.start(durationMs + kMarginMs);
        loop.exec();
        sink.stop();
        return result < 0 ? int(SoundPlayer::DeviceError) : result;
    }
};

} // namespace

struct QtSoundPlayer::Impl {
    QThread thread;
    PlaybackWorker *worker = nullptr;
};

QtSoundPlayer::QtSoundPlayer() : d(std::make_unique<Impl>())
{
    d->thread.setObjectName(QStringLiteral("sound"));
    d->worker = new PlaybackWorker;
    d->worker->moveToThread(&d->thread);
    QObject::connect(&d->thread, &QThread::finished, d->worker, &QObject::deleteLater);
    d->thread.start();
}

QtSoundPlayer::~QtSoundPlayer()
{
    d->thread.quit();
    d->thread.wait();
}

int QtSoundPlayer::play(const QString &path)
{
    QFile file(localPath(path));
    if (!file.exists())
        return FileNotFound;
    if (!file.open(QIODevice::ReadOnly))
        return CannotReadFile;
    WaveData wave;
    if (!parseWave(file.readAll(), &wave, nullptr))
        return UnsupportedFile;
    widen24(wave);
    int result = DeviceError;
    QMetaObject::invokeMethod(
        d->worker, [&] { result = d->worker->play(wave); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace tavoro::platform
