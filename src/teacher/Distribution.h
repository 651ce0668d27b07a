// How the recorded times of each level spread over ten-second bands: of all runs, and of
// each pupil's best time, as the criteria editor shows them beside its grid.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace tavoro::teacher {

constexpr int kDistributionLevels = 51; // levels 0..50
constexpr int kBands = 101;             // bands 0..100, ten seconds each
constexpr int kLastAllBand = 100;       // 1000 seconds and more
constexpr int kLastBestBand = 30;       // 300 seconds and more

struct TimeDistributions {
    std::array<int, kDistributionLevels> runs{}; // records per level
    std::array<std::array<int, kBands>, kDistributionLevels> all{};
    std::array<std::array<int, kBands>, kDistributionLevels> best{};
};

// Counts the whole 44-byte records in `bytes`. Records of level 0 are no runs; records of
// a level outside 0..50 are left out (the tables have no room for them).
TimeDistributions ComputeTimeDistributions(const QByteArray &bytes);

// The lines of 全成績 for `level`: the heading with the run count and the scale, then the
// 101 band lines with their stars. A level outside 0..50 shows no runs.
QStringList AllTimesLines(const TimeDistributions &d, int level);

// The lines of 最高タイム for `level`.
QStringList BestTimesLines(const TimeDistributions &d, int level);

} // namespace tavoro::teacher
