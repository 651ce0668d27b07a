// The real sound backend: plays a generated wave file through Qt Multimedia. The test
// command runs it against a PulseAudio daemon with a null sink; without any audio output
// the player must fail at once instead of hanging.
#include "platform/SoundPlayer.h"
#include "platform/WaveFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace tavoro::platform;

namespace {

QString writeTone(const QTemporaryDir &dir, double seconds)
{
    const int rate = 22050;
    std::vector<std::int16_t> samples(std::size_t(rate * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(6000 * std::sin(2 * M_PI * 660 * double(i) / rate));
    const QString path = dir.path() + QStringLiteral("/tone.wav");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(makeWave16(samples, rate, 1));
    return path;
}

bool expectDevice()
{
    return qEnvironmentVariable("TAVORO_AUDIO") == QStringLiteral("device");
}

bool expectNoDevice()
{
    return qEnvironmentVariable("TAVORO_AUDIO") == QStringLiteral("none");
}

} // namespace

TEST(SoundBackend, PlaysAWaveFileToItsEnd)
{
    if (!expectDevice())
        GTEST_SKIP() << "runs with TAVORO_AUDIO=device against the test command's PulseAudio";
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.6);
    QtSoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    const int code = player.play(path);
    const qint64 ms = timer.elapsed();
    EXPECT_EQ(code, 0) << player.errorText(code).toStdString();
    EXPECT_GE(ms, 550);
    EXPECT_LE(ms, 600 + 1500 + 500); // never much beyond the sound and the margin
    // A second play on the same player works as well.
    EXPECT_EQ(player.play(path), 0);
}

TEST(SoundBackend, MissingAndBrokenFilesFailAtOnce)
{
    QTemporaryDir dir;
    QtSoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(player.play(dir.path() + QStringLiteral("/missing.wav")), SoundPlayer::FileNotFound);
    QFile broken(dir.path() + QStringLiteral("/broken.wav"));
    broken.open(QIODevice::WriteOnly);
    broken.write("RIFF....WAVEjunk");
    broken.close();
    EXPECT_EQ(player.play(broken.fileName()), SoundPlayer::UnsupportedFile);
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_FALSE(player.errorText(SoundPlayer::FileNotFound).isEmpty());
}

TEST(SoundBackend, WithoutAnOutputDeviceFailsWithoutHanging)
{
    if (!expectNoDevice())
        GTEST_SKIP() << "runs with TAVORO_AUDIO=none and no sound server";
    QTemporaryDir dir;
    const QString path = writeTone(dir, 2.0);
    QtSoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    const int code = player.play(path);
    EXPECT_NE(code, 0);
    EXPECT_LT(timer.elapsed(), 2000 + 1500 + 500);
}
