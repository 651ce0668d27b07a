// The default contents of a data folder.
#include "DefaultData.h"

#include "platform/TextCodec.h"
#include "platform/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace tavoro::defaults {
namespace {

constexpr int kRate = 22050;

struct Note {
    double freq;    // Hz, 0 for a rest
    double seconds; // length
    double level;   // 0..1
};

// A soft bell-like tone per note: a sine with a little of its octave and a quick attack
// followed by an exponential decay, so the cues sound friendly rather than harsh.
QByteArray synth(const std::vector<Note> &notes, double buzz = 0.0)
{
    std::vector<std::int16_t> out;
    for (const Note &n : notes) {
        const int count = int(n.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / kRate;
            double v = 0;
            if (n.freq > 0) {
                const double attack = std::min(1.0, t / 0.008);
                const double decay = std::exp(-t * 5.0 / n.seconds);
                const double release = std::min(1.0, (n.seconds - t) / 0.01);
                const double phase = 2 * std::numbers::pi * n.freq * t;
                double wave = std::sin(phase) + 0.25 * std::sin(2 * phase);
                if (buzz > 0)
                    wave = (1 - buzz) * wave + buzz * (std::sin(phase) > 0 ? 0.6 : -0.6);
                v = n.level * attack * decay * release * wave;
            }
            out.push_back(std::int16_t(std::clamp(v, -1.0, 1.0) * 20000));
        }
    }
    return platform::makeWave16(out, kRate, 1);
}

} // namespace

const std::vector<LevelCriteria> &Criteria()
{
    static const std::vector<LevelCriteria> criteria = {
        {40, 80, 60, 5, "1", 15, 0, 14, 1},    {45, 90, 60, 5, "1", 15, 0, 14, 1},
        {50, 100, 60, 5, "1.1", 15, 0, 14, 1}, {55, 110, 60, 5, "1.2", 15, 0, 14, 1},
        {60, 120, 60, 5, "1.3", 15, 0, 14, 1}, {65, 130, 60, 5, "1.5", 15, 0, 14, 1},
        {60, 120, 100, 8, "2", 0, 0, 14, 1},
    };
    return criteria;
}

QStringList CriteriaLines()
{
    QStringList lines{
        QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,")};
    for (const LevelCriteria &c : Criteria()) {
        lines << QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,,,")
                     .arg(c.target)
                     .arg(c.minTime)
                     .arg(c.clearPoints)
                     .arg(c.clearCount)
                     .arg(QString::fromLatin1(c.multiplier))
                     .arg(c.overuseCount)
                     .arg(c.overusePoints)
                     .arg(c.passDays)
                     .arg(c.overuseDays);
    }
    return lines;
}

QStringList SoundTableLines()
{
    return {
        QStringLiteral("正解音1,ピンポン,*"),
        QStringLiteral("正解音2,ピンポン,ピロリン,キラッ,*"),
        QStringLiteral("間違い音1,ブブー,*"),
        QStringLiteral("間違い音2,ブブー,ボヨン,*"),
        QStringLiteral("最高音1,ファンファーレ,*"),
        QStringLiteral("最高音2,ファンファーレ,*"),
        QStringLiteral("自己最高音1,やったね,*"),
        QStringLiteral("自己最高音2,やったね,じこべすと,*"),
        QStringLiteral("自己最高音3,じこべすと,*"),
        QStringLiteral("不合格音1,ざんねん,もうすこし,*"),
    };
}

std::vector<Sound> Sounds()
{
    const double C5 = 523.25, E5 = 659.25, G5 = 783.99, A5 = 880.0, C6 = 1046.5, E6 = 1318.5,
                 G6 = 1568.0, D5 = 587.33, F4 = 349.23, B3 = 246.94, Ab4 = 415.30, G4 = 392.0,
                 Eb4 = 311.13, C4 = 261.63;
    return {
        {QStringLiteral("ピンポン"), synth({{E6, 0.12, 0.7}, {C6, 0.30, 0.7}})},
        {QStringLiteral("ピロリン"), synth({{C6, 0.08, 0.6}, {E6, 0.08, 0.6}, {G6, 0.22, 0.6}})},
        {QStringLiteral("キラッ"), synth({{G5, 0.07, 0.6}, {C6, 0.25, 0.6}})},
        {QStringLiteral("ブブー"), synth({{B3, 0.22, 0.6}, {0, 0.05, 0}, {B3, 0.35, 0.6}}, 0.5)},
        {QStringLiteral("ボヨン"), synth({{F4, 0.15, 0.6}, {C4, 0.35, 0.6}}, 0.3)},
        {QStringLiteral("やったね"),
         synth({{C5, 0.10, 0.6}, {E5, 0.10, 0.6}, {G5, 0.10, 0.6}, {C6, 0.45, 0.7}})},
        {QStringLiteral("ファンファーレ"),
         synth({{G5, 0.12, 0.6}, {G5, 0.12, 0.6}, {G5, 0.12, 0.6}, {C6, 0.6, 0.7}})},
        {QStringLiteral("じこべすと"),
         synth({{D5, 0.1, 0.6}, {G5, 0.1, 0.6}, {A5, 0.1, 0.6}, {D5 * 2, 0.4, 0.7}})},
        {QStringLiteral("ざんねん"), synth({{G4, 0.25, 0.5}, {Eb4, 0.25, 0.5}, {C4, 0.5, 0.5}})},
        {QStringLiteral("もうすこし"), synth({{Ab4, 0.2, 0.5}, {G4, 0.45, 0.5}})},
        {QStringLiteral("最高1"), synth({{C5, 0.1, 0.6},
                                         {E5, 0.1, 0.6},
                                         {G5, 0.1, 0.6},
                                         {C6, 0.1, 0.6},
                                         {E6, 0.1, 0.6},
                                         {G6, 0.6, 0.7}})},
        {QStringLiteral("合格"), synth({{G5, 0.15, 0.6},
                                        {E5, 0.15, 0.6},
                                        {G5, 0.15, 0.6},
                                        {C6, 0.15, 0.6},
                                        {E6, 0.15, 0.6},
                                        {C6, 0.7, 0.7}})},
    };
}

QStringList PathDataLines(const QString &dataFolder)
{
    QStringList lines{dataFolder};
    for (int i = 2; i <= 10; ++i)
        lines << QStringLiteral("0");
    return lines;
}

QStringList CommonDataLines(int startMonth, const QString &schoolCode, const QString &schoolName,
                            const QString &password)
{
    return {QString::number(startMonth), schoolCode + schoolName, QStringLiteral("0"),
            QStringLiteral("0"),         QStringLiteral("0"),     password,
            QStringLiteral("0"),         QStringLiteral("0"),     QStringLiteral("0"),
            QStringLiteral("0")};
}

QByteArray TextFileBytes(const QStringList &lines, bool *lossless)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return platform::toCp932(text, lossless);
}

} // namespace tavoro::defaults
