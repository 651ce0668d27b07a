// The real sound backend: plays a generated wave file through Qt Multimedia (winmm on
// Windows). The test command runs it against a PulseAudio daemon with a null sink; without
// any audio output the player must fail at once instead of hanging; and on Linux, with a
// daemon of its own that dies in the middle of a session, every play fails within its margin
// and the fourth failure of the answer cues ends the program with its message.
#include "core/AppState.h"
#include "core/SoundCues.h"
#include "platform/SoundPlayer.h"
#include "platform/WaveFile.h"
#include "support/Fakes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <numbers>
#include <thread>

using namespace tavoro;
using namespace tavoro::platform;

namespace {

QString writeTone(const QTemporaryDir &dir, double seconds,
                  const QString &name = QStringLiteral("tone"))
{
    const int rate = 22050;
    std::vector<std::int16_t> samples(std::size_t(rate * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(6000 * std::sin(2 * std::numbers::pi * 660 * double(i) / rate));
    const QString path = dir.path() + u'/' + name + QStringLiteral(".wav");
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
    SystemSoundPlayer player;
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
    SystemSoundPlayer player;
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
    SystemSoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    const int code = player.play(path);
    EXPECT_NE(code, 0);
    EXPECT_LT(timer.elapsed(), 2000 + 1500 + 500);
}

#ifndef _WIN32
namespace {

// A PulseAudio daemon with a null sink on a socket of its own; Qt Multimedia connects to
// it through PULSE_SERVER, which must be set before the first player is made.
class OwnDaemon {
public:
    bool start()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty())
            return false;
        const QString socket = m_dir.path() + QStringLiteral("/pulse.sock");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        m_process.setProcessEnvironment(env);
        m_process.start(
            program, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                      QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                      QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"),
                      QStringLiteral("module-null-sink sink_name=tavoro_own"), QStringLiteral("-L"),
                      QStringLiteral("module-native-protocol-unix socket=") + socket +
                          QStringLiteral(" auth-anonymous=1")});
        if (!m_process.waitForStarted(10000))
            return false;
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
            QThread::msleep(100);
        return QFile::exists(socket);
    }

    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    qint64 pid() const { return m_process.processId(); }

    ~OwnDaemon() { kill(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

TEST(SoundBackend, ADaemonThatDiesMidSessionEndsTheProgramAtTheFourthFailedAnswerCue)
{
    if (qEnvironmentVariable("TAVORO_AUDIO") != QStringLiteral("own-daemon"))
        GTEST_SKIP() << "runs with TAVORO_AUDIO=own-daemon, alone in its process";
    OwnDaemon daemon;
    ASSERT_TRUE(daemon.start()) << "PulseAudio did not start";

    QTemporaryDir dir;
    const QString tone = writeTone(dir, 0.5);
    SystemSoundPlayer player;
    test::FakeClock clock;
    test::FakeRandom random;
    test::FakeDialogs dialogs;
    test::FakeExit programExit;
    test::FakeLauncher launcher;
    tavoro::core::AppState state(
        tavoro::core::Services{&clock, &random, &player, &dialogs, &programExit, &launcher});
    state.settings.SoundFolder = dir.path() + u'/';
    tavoro::core::ParseSoundTable(state, QStringLiteral("正解音2,tone,*\r\n間違い音2,tone,*\r\n"));

    ASSERT_TRUE(tavoro::core::PlayCorrectSound(state));
    EXPECT_EQ(state.sound.MciResult, QStringLiteral("0"));

    // The daemon dies while a sound plays: the play still returns within its margin.
    const QString longTone = writeTone(dir, 2.0, QStringLiteral("long"));
    std::thread killer([pid = daemon.pid()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(pid_t(pid), SIGKILL);
    });
    QElapsedTimer during;
    during.start();
    const int code = player.play(longTone);
    const qint64 duringMs = during.elapsed();
    killer.join();
    std::printf("[          ] play cut by the daemon's death: code %d in %lld ms\n", code,
                static_cast<long long>(duringMs));
    EXPECT_LT(duringMs, 2000 + 1500 + 1000);
    daemon.kill();

    // Each play fails, silently, within the sound's length and the player's margin.
    constexpr qint64 kBoundMs = 500 + 1500 + 1000;
    for (int i = 1; i <= 4; ++i) {
        if (i == 3) {
            // A while later, when the backend may have tried to reach its server again.
            QThread::msleep(3500);
            QCoreApplication::processEvents();
        }
        QElapsedTimer timer;
        timer.start();
        const bool goOn =
            i % 2 ? tavoro::core::PlayWrongSound(state) : tavoro::core::PlayCorrectSound(state);
        const qint64 ms = timer.elapsed();
        std::printf("[          ] play %d after the daemon died: code %s in %lld ms\n", i,
                    qPrintable(state.sound.MciResult), static_cast<long long>(ms));
        EXPECT_LT(ms, kBoundMs) << i;
        EXPECT_NE(state.sound.MciResult, QStringLiteral("0")) << i;
        EXPECT_EQ(goOn, i < 4) << i;
        EXPECT_EQ(dialogs.calls.size(), i < 4 ? 0u : 1u) << i;
    }
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, QStringLiteral("音声エラー"));
    EXPECT_EQ(dialogs.calls[0].text, QStringLiteral("音声がでません。先生を呼びなさい。\r\n") +
                                         player.errorText(state.sound.MciResult.toInt()));
    EXPECT_TRUE(programExit.requested);
}
#endif
