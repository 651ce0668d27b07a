// The time distributions of the criteria editor.
#include "Distribution.h"

#include "records/GradeFile.h"

#include <algorithm>
#include <limits>

namespace tavoro::teacher {

TimeDistributions ComputeTimeDistributions(const QByteArray &bytes)
{
    TimeDistributions d;
    // Each pupil's lowest time per level; pupil numbers are 16-bit.
    constexpr int kPupils = 65536;
    constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();
    std::vector<std::int32_t> lowest(std::size_t(kDistributionLevels) * kPupils, kNone);

    const std::int64_t count = bytes.size() / records::kGradeRecordSize;
    for (std::int64_t i = 0; i < count; ++i) {
        const records::GradeRecord r =
            records::DecodeGradeRecord(bytes.constData() + i * records::kGradeRecordSize);
        if (r.RecLevel <= 0 || r.RecLevel >= kDistributionLevels)
            continue;
        const int level = r.RecLevel;
        ++d.runs[std::size_t(level)];
        const int band = std::clamp(r.RecSeconds / 10, 0, kLastAllBand);
        ++d.all[std::size_t(level)][std::size_t(band)];
        std::int32_t &low =
            lowest[std::size_t(level) * kPupils + std::size_t(std::uint16_t(r.RecStudent))];
        low = std::min(low, r.RecSeconds);
    }
    for (int level = 1; level < kDistributionLevels; ++level) {
        const std::int32_t *row = lowest.data() + std::size_t(level) * kPupils;
        for (int p = 0; p < kPupils; ++p) {
            if (row[p] == kNone)
                continue;
            const int band = std::clamp(row[p] / 10, 0, kLastBestBand);
            ++d.best[std::size_t(level)][std::size_t(band)];
        }
    }
    return d;
}

namespace {

const std::array<int, kBands> &noBands()
{
    static const std::array<int, kBands> none{};
    return none;
}

int scaleOf(const std::array<int, kBands> &bands)
{
    const int scale = *std::max_element(bands.begin(), bands.end()) / 10;
    return scale == 0 ? 1 : scale;
}

void addBandLines(QStringList &lines, const std::array<int, kBands> &bands, int scale)
{
    for (int b = 0; b < kBands; ++b) {
        const int stars = int(double(bands[std::size_t(b)]) / scale + 0.5);
        lines << QStringLiteral("%1").arg(10 * b, 4) + QStringLiteral("～") + QString(stars, u'★');
    }
}

bool inTable(int level)
{
    return level >= 0 && level < kDistributionLevels;
}

} // namespace

QStringList AllTimesLines(const TimeDistributions &d, int level)
{
    const auto &bands = inTable(level) ? d.all[std::size_t(level)] : noBands();
    const int runs = inTable(level) ? d.runs[std::size_t(level)] : 0;
    const int scale = scaleOf(bands);
    QStringList lines;
    lines << QStringLiteral("レベル%1 今まで%2回  （★=%3）").arg(level).arg(runs).arg(scale);
    addBandLines(lines, bands, scale);
    return lines;
}

QStringList BestTimesLines(const TimeDistributions &d, int level)
{
    const auto &bands = inTable(level) ? d.best[std::size_t(level)] : noBands();
    const int scale = scaleOf(bands);
    QStringList lines;
    lines << QStringLiteral("レベル%1 （★=%2）").arg(level).arg(scale);
    addBandLines(lines, bands, scale);
    return lines;
}

} // namespace tavoro::teacher
