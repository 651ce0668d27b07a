// Points of runs and grade records.
#include "Points.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavoro::records {
namespace {

constexpr std::int32_t kTimeOutLimit = 99997; // above this a time is a time-out
constexpr std::int64_t kMostPoints = 2'000'000'000;
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();

// The integer part of ((target - x) / target)^3 x 50 + 5, for x at most target. Worked on
// whole numbers while 50 (target - x)^3 stays within 64 bits, so that no rounding of a
// binary fraction can move it; beyond, on doubles. Held at 2000000000.
int cubePoints(std::int64_t target, std::int64_t x)
{
    const std::int64_t d = target - x;
    constexpr std::int64_t kWholeLimit = 200000; // 50 x 200000^3 is below 2^63
    if (d <= kWholeLimit && target <= kWholeLimit)
        return int(std::min(50 * d * d * d / (target * target * target) + 5, kMostPoints));
    const double q = double(d) / double(target);
    return int(std::min(std::floor(q * q * q * 50 + 5), double(kMostPoints)));
}

// The points of time t, the formula taking x in place of t.
int timePoints(std::int64_t target, std::int64_t t, std::int64_t x)
{
    if (target <= 0 || t > kTimeOutLimit)
        return 0; // no target (and no division by it), or a time-out
    if (t <= target)
        return cubePoints(target, x);
    if (t < 2 * target)
        return 4;
    if (t < 10 * target)
        return 1;
    return 0;
}

} // namespace

int RunPoints(std::int32_t target, std::int32_t seconds)
{
    return timePoints(target, seconds, seconds);
}

std::int32_t ThreeCharacterTime(std::int32_t seconds)
{
    if (seconds >= 0) {
        while (seconds >= 1000)
            seconds /= 10;
        return seconds;
    }
    std::int64_t digits = -std::int64_t(seconds); // "-" takes one of the three characters
    while (digits >= 100)
        digits /= 10;
    return std::int32_t(-digits);
}

PointMultiplier::PointMultiplier(float multiplier) : m_value(multiplier)
{
    if (!std::isfinite(multiplier))
        return;
    // The shortest text that reads back as the same float: "0.7", "2.75", "1e+12", "-1.5".
    char text[64];
    const char *const end = std::to_chars(text, text + sizeof text, multiplier).ptr;
    const char *p = text;
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    bool fraction = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        m_digits = m_digits * 10 + (*p - '0');
        if (fraction)
            --m_exponent;
    }
    if (p < end) { // the exponent: "e+12", "e-07"
        ++p;
        if (p < end && *p == '+')
            ++p;
        int exponent = 0;
        std::from_chars(p, end, exponent);
        m_exponent += exponent;
    }
    // A float's shortest text has at most nine significant digits: without the zeros at
    // their end the digits stay below 10^9.
    while (m_digits != 0 && m_digits % 10 == 0) {
        m_digits /= 10;
        ++m_exponent;
    }
    if (negative)
        m_digits = -m_digits;
}

int PointMultiplier::times(int points) const
{
    if (!std::isfinite(m_value)) {
        if (std::isnan(m_value) || points == 0)
            return 0;
        return (m_value > 0) == (points > 0) ? int(kIntMax) : int(kIntMin);
    }
    std::int64_t v = std::int64_t(points) * m_digits; // below 2^31 x 10^9: no overflow
    for (int e = m_exponent; e > 0 && v != 0; --e) {
        if (v > kIntMax || v < kIntMin)
            break; // held at the end of int's range below; more tens only take it further
        v *= 10;
    }
    for (int e = m_exponent; e < 0 && v != 0; ++e)
        v /= 10; // one ten at a time drops the same remainder as all of them at once
    return int(std::clamp(v, kIntMin, kIntMax));
}

int EarnedPoints(float multiplier, int points)
{
    return PointMultiplier(multiplier).times(points);
}

int RecordPoints(std::int32_t target, const PointMultiplier &multiplier, std::int32_t seconds)
{
    return multiplier.times(timePoints(target, seconds, ThreeCharacterTime(seconds)));
}

int RecordPoints(const core::Criteria &criteria, int level, std::int32_t seconds)
{
    if (level < 0 || level > core::kMaxLevel)
        return 0;
    return RecordPoints(criteria.TargetTime[level],
                        PointMultiplier(criteria.PointMultiplier[level]), seconds);
}

} // namespace tavoro::records
