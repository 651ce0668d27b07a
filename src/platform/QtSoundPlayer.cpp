// Wave playback on Qt Multimedia's audio sink.
#include "SoundPlayer.h"

#include "WaveFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

namespace tavoro::platform {

namespace {

// Extra time allowed beyond the file's own duration before a play counts as failed.
constexpr int kMarginMs = 1500;
// How long to wait after the sound's own duration for the output to report its end.
constexpr int kTailMs = 250;

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
        const QByteArray &pcm = wave.samples;
        const qint64 durationUs = qint64(wave.durationSeconds() * 1e6);
        const int durationMs = int(durationUs / 1000);

        // Push mode: the samples are written as the device takes them, and the sound has
        // ended once the device reports it has processed all of them.
        // A buffer that holds the whole sound lets it be handed over in one write.
        sink.setBufferSize(qMax<qint64>(pcm.size(), 4096));
        QIODevice *out = sink.start();
        if (!out || sink.error() != QAudio::NoError)
            return SoundPlayer::DeviceError;
        qint64 written = 0;
        int result = -1;
        QEventLoop loop;
        QElapsedTimer started;
        started.start();
        QTimer pump;
        pump.setInterval(5);
        QObject::connect(&pump, &QTimer::timeout, &loop, [&] {
            if (sink.error() != QAudio::NoError && sink.error() != QAudio::UnderrunError) {
                result = SoundPlayer::DeviceError;
                loop.quit();
                return;
            }
            if (written < pcm.size()) {
                const qint64 room = sink.bytesFree();
                if (room > 0) {
                    const qint64 n = out->write(pcm.constData() + written,
                                                qMin<qint64>(room, pcm.size() - written));
                    if (n < 0) {
                        result = SoundPlayer::DeviceError;
                        loop.quit();
                        return;
                    }
                    written += n;
                }
            }
            if (written < pcm.size()) {
                if (started.elapsed() > durationMs + kMarginMs) {
                    result = SoundPlayer::TimedOut; // the output takes nothing
                    loop.quit();
                }
                return;
            }
            const qint64 elapsed = started.elapsed();
            const qint64 processed = sink.processedUSecs();
            if (elapsed < durationMs)
                return;
            if (processed >= durationUs) {
                result = SoundPlayer::Ok;
                loop.quit();
            } else if (elapsed >= durationMs + kTailMs && processed > 0) {
                // Some outputs hold back the last fraction of a stream until it is drained;
                // the sound has had its time and was taken by the output.
                result = SoundPlayer::Ok;
                loop.quit();
            } else if (elapsed > durationMs + kMarginMs) {
                // An output that never plays anything (no real device behind it) must not
                // keep the pupil waiting.
                result = SoundPlayer::TimedOut;
                loop.quit();
            }
        });
        pump.start();
        // The loop runs on the playback thread, which has no window; like every wait of the
        // program it takes no input.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        pump.stop();
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
    WaveData wave;
    if (const int code = readWave(path, &wave); code != Ok)
        return code;
    widen24(wave);
    int result = DeviceError;
    QMetaObject::invokeMethod(
        d->worker, [&] { result = d->worker->play(wave); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace tavoro::platform
