// Statistics and rankings from the grade file.
#include "Statistics.h"

#include "Failure.h"
#include "GradeFile.h"
#include "core/AppState.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <cwchar>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavoro::records {
namespace {

constexpr std::int32_t kTimeOutLimit = 99997; // above this a time is a time-out
constexpr std::int32_t kRunLimit = 6000;      // from this on a record is not a run
constexpr int kSchoolBestPupils = 1000;       // only pupils 1..1000 set SchoolBest
constexpr int kNotFoundTries = 4;

// A multiplier as the decimal number the criteria file wrote (0.7, 1.1), so that the
// product with the points is exact: num / den. Values that do not fit fall back to the
// binary value.
struct DecimalFactor {
    bool exact = true;
    std::int64_t num = 0;
    std::int64_t den = 1;
    double value = 0;

    static DecimalFactor of(float m)
    {
        DecimalFactor f;
        f.value = double(m);
        if (!std::isfinite(m)) {
            f.exact = false;
            return f;
        }
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, m); // shortest round trip
        const char *p = buf;
        const char *end = r.ptr;
        bool negative = false;
        if (p < end && *p == '-') {
            negative = true;
            ++p;
        }
        std::int64_t mantissa = 0;
        int digits = 0;
        int scale = 0; // value = mantissa * 10^scale
        bool fraction = false;
        for (; p < end; ++p) {
            if (*p == '.') {
                fraction = true;
            } else if (*p >= '0' && *p <= '9') {
                if (digits >= 17) { // cannot happen for a float's shortest text
                    f.exact = false;
                    return f;
                }
                mantissa = mantissa * 10 + (*p - '0');
                if (mantissa != 0)
                    ++digits;
                if (fraction)
                    --scale;
            } else {
                break;
            }
        }
        if (p < end && (*p == 'e' || *p == 'E')) {
            int e = 0;
            std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, e);
            scale += e;
        }
        if (negative)
            mantissa = -mantissa;
        if (scale >= 0) {
            if (scale > 9 || std::llabs(mantissa) > 1'000'000'000) {
                f.exact = false;
                return f;
            }
            f.num = mantissa;
            for (int i = 0; i < scale; ++i)
                f.num *= 10;
        } else {
            if (scale < -18) {
                f.exact = false;
                return f;
            }
            f.num = mantissa;
            for (int i = 0; i < -scale; ++i)
                f.den *= 10;
        }
        return f;
    }

    // points x factor with the remainder dropped.
    int apply(int points) const
    {
        if (exact && std::llabs(num) <= 4'000'000'000'000LL) {
            const std::int64_t q = std::int64_t(points) * num / den; // truncates toward 0
            return int(std::clamp<std::int64_t>(q, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
        }
        const double v = std::trunc(double(points) * value);
        if (!(v == v))
            return 0;
        return int(std::clamp(v, double(std::numeric_limits<int>::min()),
                              double(std::numeric_limits<int>::max())));
    }
};

// The number formed by the first three characters of the decimal text of t.
std::int64_t firstThreeCharacters(std::int32_t t)
{
    if (t >= 0) {
        while (t >= 1000)
            t /= 10;
        return t;
    }
    std::int64_t a = -std::int64_t(t); // "-" takes one of the three characters
    while (a >= 100)
        a /= 10;
    return -a;
}

// The integer part of (d / T)^3 x 50 + 5 for d = T - x, 0 <= d <= 2T, 1 <= T <= 10000,
// taken on whole numbers so that no rounding of a binary fraction can move it: 50 d^3 /
// T^3. Both are exact as doubles, and the rounded quotient of two such numbers has the
// integer part of the exact one as long as T^3 x 55 stays well below 2^53 (T up to about
// 14000).
constexpr std::int64_t kDirectLimit = 10000;

inline int cubePoints(std::int64_t d, std::int64_t target)
{
    return int(double(50 * d * d * d) / double(target * target * target)) + 5;
}

// The points before the multiplier: t is the time, x the time the formula uses (t, or its
// first three characters).
int basePoints(std::int64_t target, std::int64_t t, std::int64_t x)
{
    if (target <= 0)
        return 0; // no target: no points (and no division by it)
    if (t > kTimeOutLimit)
        return 0;
    if (t <= target) {
        const std::int64_t d = target - x; // not negative, since x <= t <= target
        if (d <= 2 * kDirectLimit && target <= kDirectLimit)
            return cubePoints(d, target);
        constexpr std::int64_t kExactLimit = 200000;
        if (d <= kExactLimit && target <= kExactLimit) {
            const std::int64_t num = 50 * d * d * d;
            const std::int64_t den = target * target * target;
            return int(num / den) + 5;
        }
        const double q = double(d) / double(target);
        return int(std::min(std::floor(q * q * q * 50 + 5), 2e9));
    }
    if (t < 2 * target)
        return 4;
    if (t < 10 * target)
        return 1;
    return 0;
}

// What the points of a level need, worked out once per computation.
struct LevelRule {
    static constexpr int kBaseTable = 64; // the points before the multiplier are 0..55

    std::int64_t target = 0;
    DecimalFactor factor;
    std::array<int, kBaseTable> earned{}; // factor.apply(p) for p = 0..63
    double passFrom = 0;                  // a date later than this is within the pass period
    double overuseFrom = 0;               // ... within the too-much period

    void set(std::int32_t targetTime, float multiplier)
    {
        target = targetTime;
        factor = DecimalFactor::of(multiplier);
        if (factor.exact && factor.num >= 0 && factor.num <= 4'000'000'000'000LL) {
            // p x num / den for p = 0, 1, 2, ... by adding num each time: the quotient and
            // remainder of num / den once, the carries counted on the way.
            const std::int64_t whole = factor.num / factor.den;
            const std::int64_t part = factor.num % factor.den;
            std::int64_t q = 0;
            std::int64_t r = 0;
            for (int p = 0; p < kBaseTable; ++p) {
                earned[std::size_t(p)] =
                    int(std::min<std::int64_t>(q, std::numeric_limits<int>::max()));
                q += whole;
                r += part;
                if (r >= factor.den) {
                    r -= factor.den;
                    ++q;
                }
            }
        } else {
            for (int p = 0; p < kBaseTable; ++p)
                earned[std::size_t(p)] = factor.apply(p);
        }
    }

    int points(std::int32_t t) const
    {
        const int p = basePoints(target, t, firstThreeCharacters(t));
        return p >= 0 && p < kBaseTable ? earned[std::size_t(p)] : factor.apply(p);
    }
};

template <typename T> T loadLittle(const char *p)
{
    T v;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, sizeof v);
    } else {
        using U = std::make_unsigned_t<
            std::conditional_t<sizeof(T) == 8, std::int64_t,
                               std::conditional_t<sizeof(T) == 4, std::int32_t, std::int16_t>>>;
        U u = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            u |= U(static_cast<unsigned char>(p[i])) << (8 * i);
        v = std::bit_cast<T>(u);
    }
    return v;
}

// The step numbers the load reports in its messages.
enum LoadStep { StepOpen = 3, StepWindow = 4, StepRead = 5 };

// The load's error handling. Returns true when the failed action is to be tried again.
class LoadErrors {
public:
    LoadErrors(core::AppState &state, LoadedRecords &loaded) : m_state(state), m_loaded(loaded) {}

    bool retry(const platform::RecordFile &file, int step)
    {
        switch (file.error()) {
        case platform::RecordFile::Error::NotFound:
            platform::waitWithEvents(m_state.clock(), 5000);
            if (m_state.programExit().exitRequested())
                return false;
            if (++m_loaded.LoadRetryCount >= kNotFoundTries) {
                return EndProgramWithMessage(m_state, QStringLiteral("ファイルがありません") +
                                                          QString::number(step) + file.errorText() +
                                                          QString::number(file.errorNumber()));
            }
            return true;
        case platform::RecordFile::Error::Busy:
            return WaitForBusyFile(m_state);
        default:
            return other(file, step);
        }
    }

private:
    bool other(const platform::RecordFile &file, int step)
    {
        // The load fails before any entry is taken: entry i = 0, which holds nothing.
        const QString number = QString::number(file.errorNumber());
        const QString s = QString::number(step);
        return EndProgramWithMessage(
            m_state, QStringLiteral("成績ランダムファイル表示") + s + number + file.errorText() +
                         number +
                         QStringLiteral("/date0/i=0/time=0/name=/Bangou=0/level=0/time=0line") + s);
    }

    core::AppState &m_state;
    LoadedRecords &m_loaded;
};

} // namespace

RecordWindow NewestWindow(std::int64_t recordCount)
{
    RecordWindow w;
    w.first = recordCount > kMaxLoaded ? recordCount - kMaxLoaded : 0;
    w.count = recordCount - w.first;
    return w;
}

int RunPoints(std::int32_t target, std::int32_t seconds)
{
    return basePoints(target, seconds, seconds);
}

int RecordPoints(const core::Criteria &criteria, int level, std::int32_t seconds)
{
    if (level < 0 || level > core::kMaxLevel)
        return 0;
    LevelRule rule;
    rule.set(criteria.TargetTime[level], criteria.PointMultiplier[level]);
    return rule.points(seconds);
}

int EarnedPoints(float multiplier, int points)
{
    return DecimalFactor::of(multiplier).apply(points);
}

namespace {

// Sets n entries to 99999; through the C library's wide-character fill where its
// characters are 32 bits wide, as fast as the byte fill behind the clearing of the tables.
void fillNoTime(std::int32_t *to, std::size_t n)
{
    if constexpr (sizeof(wchar_t) == sizeof(std::int32_t)) {
        static_assert(core::kNoTime >= 0);
        std::wmemset(reinterpret_cast<wchar_t *>(to), wchar_t(core::kNoTime), n);
    } else {
        std::fill_n(to, n, core::kNoTime);
    }
}

template <typename T> void clearRows(core::PupilLevelTable<T> &table, int k0, int k1)
{
    std::memset(static_cast<void *>(&table(k0, 0)), 0,
                std::size_t(k1 - k0) * core::kLevels * sizeof(T));
}

using Record = LoadedRecords::Record;
using Fields = LoadedRecords::Fields;

// Makes the level's points table in `table`: the times 0..target by the formula, then 4 up
// to twice the target, whose entry holds the 1 of the times below ten times the target.
void makePointsTable(const LevelRule &rule, std::int32_t *table)
{
    const std::int64_t target = rule.target;
    for (std::int64_t t = 0; t <= target; ++t)
        table[t] = rule.earned[std::size_t(cubePoints(target - t, target))];
    for (std::int64_t t = target + 1; t < 2 * target; ++t)
        table[t] = rule.earned[4];
    table[2 * target] = rule.earned[1];
}

} // namespace

// The points rule of each level and, on a level whose target is below 1000 seconds, the table
// of the points of its times. Remade for a level only when its target or multiplier changes,
// since making them is a fair share of a computation.
struct PointsRules {
    struct Level {
        bool made = false;
        std::int32_t target = 0;
        std::uint32_t multiplierBits = 0;
        LevelRule rule;
        // On a tabled level the points of a time t >= 0 are table[min(t, twice)] below ten
        // times the target, and 0 from there on. Any other level (quickBelow 0), and a
        // negative time, take the rule itself.
        std::uint32_t quickBelow = 0; // 2^31 on a tabled level: every time t >= 0
        std::int32_t twice = 0;
        std::int32_t tenTimes = 0;
        const std::int32_t *table = nullptr;
    };

    void update(int level, std::int32_t target, float multiplier)
    {
        Level &l = levels[std::size_t(level)];
        const auto bits = std::bit_cast<std::uint32_t>(multiplier);
        if (l.made && l.target == target && l.multiplierBits == bits)
            return;
        l = Level{};
        l.made = true;
        l.target = target;
        l.multiplierBits = bits;
        l.rule.set(target, multiplier);
        if (l.rule.earned[0] != 0 || target >= LoadedRecords::kTableTimes)
            return;
        std::int32_t *table = tables.data() + std::size_t(level) * 2 * LoadedRecords::kTableTimes;
        l.quickBelow = 1u << 31;
        l.table = table;
        if (target <= 0) {
            table[0] = 0; // no target: no points
            return;
        }
        makePointsTable(l.rule, table);
        l.twice = 2 * target;
        l.tenTimes = 10 * target;
    }

    std::array<Level, core::kLevels> levels{};
    std::vector<std::int32_t> tables =
        std::vector<std::int32_t>(std::size_t(core::kLevels) * 2 * LoadedRecords::kTableTimes);
};

LoadedRecords::LoadedRecords()
    : byBlock(kMaxLoaded), unitFields(kMaxLoaded), points(std::make_unique<PointsRules>())
{
}

LoadedRecords::~LoadedRecords() = default;

namespace {

// Copies the fields the statistics use of the 44-byte record at r (RecDate, then RecStudent,
// RecLevel and RecSeconds), the store going straight to memory past the caches: the lists
// are read next by the thread that takes the unit, and a line that the other processor holds
// in its cache is slow to take over.
inline void streamFields(Fields *to, const char *r)
{
#if defined(__SSE2__)
    const __m128i date = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(r));
    const __m128i rest = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(r + 16));
    _mm_stream_si128(reinterpret_cast<__m128i *>(to), _mm_unpacklo_epi64(date, rest));
#else
    std::memcpy(&to->date, r, 8);
    std::memcpy(&to->student, r + 16, 8);
#endif
}

// Orders the stores of streamFields before any later store, as other processors see them.
inline void streamsDone()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// A short pause of the processor in a busy wait.
inline void pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// The rounds of a busy wait for the other thread before it gives the processor away: about
// a millisecond.
constexpr int kBusyRounds = 1 << 15;

// Waits until done(), for work the other thread is doing: busily, since that takes some
// microseconds; only a thread kept from running by others takes longer, and then the
// processor is given away between looks. Returns the rounds waited busily.
template <typename Done> int waitUntil(Done done)
{
    int i = 0;
    for (; !done(); ++i) {
        if (i < kBusyRounds)
            pause();
        else
            std::this_thread::yield();
    }
    return std::min(i, kBusyRounds);
}

// The blocks that hold pupils 1..1000, whose best times make SchoolBest.
constexpr int kSchoolBlocks = kSchoolBestPupils / LoadedRecords::kBlockPupils + 1;

// One computation of the statistics from records in memory. The pupils are shared out in
// two units of blocks. First the fields of each record are copied to its unit's list; then
// each unit's records are reduced and grouped by block, and block by block the rows are
// cleared and filled from them. Each unit is done whole by one thread, whichever claims it
// first: the asking thread from the first unit on, the helper from the last one back, so
// that each keeps to the same rows from one computation to the next. The results do not
// depend on which thread does what.
class Computation {
public:
    Computation(core::AppState &state, const char *records, std::int64_t count,
                LoadedRecords &loaded)
        : m_stats(state.stats), m_records(records), m_loaded(loaded)
    {
        m_count = int(std::clamp<std::int64_t>(count, 0, kMaxLoaded));
        m_day = DateValue(state.clock().today());
        const core::Criteria &criteria = state.criteria;
        PointsRules &points = *loaded.points;
        for (int level = 1; level <= core::kMaxLevel; ++level) {
            points.update(level, criteria.TargetTime[level], criteria.PointMultiplier[level]);
            Level &q = m_levels[std::size_t(level)];
            q.points = &points.levels[std::size_t(level)];
            // A period written as a text, or left empty, counts as 0 days.
            q.passFrom = m_day - criteria.PassPeriodDays[level].number();
            q.overuseFrom = m_day - criteria.OverusePeriodDays[level].number();
            q.recentFrom =
                std::min({q.passFrom, q.overuseFrom,
                          std::nextafter(m_day, -std::numeric_limits<double>::infinity())});
        }
        // Level 0 is never counted; its records set the best time only.
    }

    Computation(const Computation &) = delete;
    Computation &operator=(const Computation &) = delete;

    // Copies the fields of each record to its unit's list: the first unit's from the front,
    // the second's from the back. Done on the asking thread before either unit; with
    // `forHelper` the stores go past the caches, for the helper to read.
    void splitRecords(bool forHelper)
    {
        if (forHelper)
            splitRecords<true>();
        else
            splitRecords<false>();
    }

    // Does every unit not claimed yet, from the first one on or from the last one back.
    void work(bool fromLast)
    {
        for (int k = 0; k < LoadedRecords::kUnits; ++k) {
            const int u = fromLast ? LoadedRecords::kUnits - 1 - k : k;
            if (m_claimed[std::size_t(u)].flag.exchange(true))
                continue;
            takeRecords(u);
            for (int b = firstBlock(u); b < firstBlock(u + 1); ++b)
                fillBlock(b);
        }
    }

    // The last step, once every thread is out of work().
    void finish()
    {
        m_loaded.LoadedCount = m_counted[0] + m_counted[1];
        for (int level = 1; level <= core::kMaxLevel; ++level) {
            std::int32_t best = core::kNoTime;
            for (const auto &school : m_school)
                best = std::min(best, school[std::size_t(level)]);
            m_stats.SchoolBest[level] = best;
        }
    }

    std::uint64_t number = 0; // given by the helper, which takes part in each one once

private:
    template <bool Stream> void splitRecords()
    {
        using L = LoadedRecords;
        Fields *front = m_loaded.unitFields.data();
        Fields *back = front + kMaxLoaded;
        constexpr int kSecondFrom = L::kFirstUnitBlocks * L::kBlockPupils; // its first pupil
        for (int j = 0; j < m_count; ++j) {
            const char *r = m_records + std::int64_t(j) * kGradeRecordSize;
            const int student = studentOf(r);
            if (!inRange(student, levelOf(r)))
                continue; // a pupil or level outside the tables cannot be counted anywhere
            const bool second = student >= kSecondFrom;
            Fields *to = second ? back - 1 : front;
            if constexpr (Stream) {
                streamFields(to, r);
            } else {
                std::memcpy(&to->date, r, 8);
                std::memcpy(&to->student, r + 16, 8);
            }
            front += second ? 0 : 1;
            back -= second ? 1 : 0;
        }
        if constexpr (Stream)
            streamsDone();
        const int first = int(front - m_loaded.unitFields.data());
        const int second = int(m_loaded.unitFields.data() + kMaxLoaded - back);
        m_loaded.unitCount = {first, second};
        // Each unit sets the starts of its other blocks.
        m_loaded.blockStart[0] = 0;
        m_loaded.blockStart[L::kFirstUnitBlocks] = first;
        m_loaded.blockStart[L::kBlocks] = first + second;
    }

    // What the taking of the records needs of a level.
    struct Level {
        const PointsRules::Level *points = nullptr;
        double passFrom = 0;    // a date later than this is within the pass period
        double overuseFrom = 0; // ... within the too-much period
        double recentFrom = 0;  // a date not later than this is in no period and not today
    };

    static int studentOf(const char *r) { return loadLittle<std::int16_t>(r + 16); }
    static int levelOf(const char *r) { return loadLittle<std::int16_t>(r + 18); }
    static bool inRange(int student, int level)
    {
        return unsigned(student) <= unsigned(core::kMaxStudent) &&
               unsigned(level) <= unsigned(core::kMaxLevel);
    }

    static int firstBlock(int u)
    {
        return u == 0 ? 0 : u == 1 ? LoadedRecords::kFirstUnitBlocks : LoadedRecords::kBlocks;
    }

    // Reduces the records of unit u and puts them in their blocks, file order kept.
    void takeRecords(int u)
    {
        using L = LoadedRecords;
        const int b0 = firstBlock(u);
        const int b1 = firstBlock(u + 1);
        const int n = m_loaded.unitCount[std::size_t(u)];
        // The second unit's list runs from the back, its first record last.
        const Fields *first =
            u == 0 ? m_loaded.unitFields.data() : m_loaded.unitFields.data() + kMaxLoaded - 1;
        const std::ptrdiff_t step = u == 0 ? 1 : -1;

        // The records of each block are counted first, so that each goes straight to its place.
        std::array<int, L::kBlocks + 1> next{};
        const Fields *f = first;
        for (int k = 0; k < n; ++k, f += step)
            ++next[std::size_t(f->student / L::kBlockPupils + 1)];
        next[std::size_t(b0)] = m_loaded.blockStart[std::size_t(b0)];
        for (int b = b0 + 1; b < b1; ++b) {
            next[std::size_t(b)] += next[std::size_t(b - 1)];
            m_loaded.blockStart[std::size_t(b)] = next[std::size_t(b)];
        }

        Record *out = m_loaded.byBlock.data();
        const double day = m_day;
        const double nextDay = m_day + 1;
        int bestOnly = 0;
        f = first;
        for (int k = 0; k < n; ++k, f += step) {
            const int student = f->student;
            const int level = f->level;
            const std::int32_t t = f->seconds;
            const double date = f->date;
            Record r{std::uint32_t(student * core::kLevels + level), t, 0};
            if (date >= 0 && student != 0 && level != 0) {
                const Level &q = m_levels[std::size_t(level)];
                const PointsRules::Level &p = *q.points;
                if (std::uint32_t(t) < p.quickBelow) {
                    // A mask rather than a branch: which side of ten times the target a
                    // time falls is no guess for the processor.
                    const std::int32_t below = -std::int32_t(t < p.tenTimes); // all bits or none
                    r.points = p.table[std::min(t, p.twice)] & below;
                } else {
                    r.points = p.rule.points(t);
                }
                // A record of 6000 seconds or more is no run but earns its points.
                r.entry |= Record::kCounted | Record::kRun * unsigned(t < kRunLimit);
                // The file grows in date order: the older records, most of them, come first.
                if (date > q.recentFrom) {
                    r.entry |= Record::kPeriod * unsigned(date > q.passFrom) |
                               Record::kOveruse * unsigned(date > q.overuseFrom) |
                               Record::kToday * unsigned((date >= day) & (date < nextDay));
                }
            } else {
                ++bestOnly;
            }
            out[next[std::size_t(student / L::kBlockPupils)]++] = r;
        }
        m_counted[std::size_t(u)] = n - bestOnly;
    }

    // Clears the rows of block b (PersonalBest set to 99999) and fills them from the block's
    // records, while the rows are at hand in the processor's caches.
    void fillBlock(int b)
    {
        core::Statistics &st = m_stats;
        const int k0 = b * LoadedRecords::kBlockPupils;
        const int k1 = std::min(k0 + LoadedRecords::kBlockPupils, core::kStudents);
        clearRows(st.TotalRuns, k0, k1);
        clearRows(st.TotalPoints, k0, k1);
        clearRows(st.PeriodRuns, k0, k1);
        clearRows(st.PeriodPoints, k0, k1);
        clearRows(st.OveruseRuns, k0, k1);
        clearRows(st.OveruseEarned, k0, k1);
        clearRows(st.RunsToday, k0, k1); // all-zero bytes are 0.0f
        clearRows(st.PointsToday, k0, k1);
        fillNoTime(&st.PersonalBest(k0, 0), std::size_t(k1 - k0) * core::kLevels);

        std::int32_t *best = st.PersonalBest.data();
        std::int16_t *totalRuns = st.TotalRuns.data();
        std::int32_t *totalPoints = st.TotalPoints.data();
        const Record *e = m_loaded.byBlock.data() + m_loaded.blockStart[std::size_t(b)];
        const Record *end = m_loaded.byBlock.data() + m_loaded.blockStart[std::size_t(b) + 1];
        // A record read for the best time only has no points and no flags: it adds 0.
        for (; e != end; ++e) {
            const std::size_t i = e->entry & Record::kEntryMask;
            const int run = e->has(Record::kRun) ? 1 : 0;
            best[i] = std::min(best[i], e->seconds);
            totalRuns[i] = std::int16_t(totalRuns[i] + run);
            totalPoints[i] += e->points;
            if (e->has(Record::kRecent)) // most records are older than every period
                addRecent(*e, i, run);
        }
        if (b < kSchoolBlocks)
            m_school[std::size_t(b)] = schoolBest(b);
    }

    // The counts of the periods and of today, apart from the rest so that the tables they
    // need take no room in the processor's registers meanwhile.
    [[gnu::noinline]] void addRecent(const Record &e, std::size_t i, int run)
    {
        core::Statistics &st = m_stats;
        const int p = e.points;
        if (e.has(Record::kPeriod)) {
            st.PeriodRuns.data()[i] = std::int16_t(st.PeriodRuns.data()[i] + run);
            st.PeriodPoints.data()[i] += p;
        }
        if (e.has(Record::kOveruse)) {
            st.OveruseRuns.data()[i] = std::int16_t(st.OveruseRuns.data()[i] + run);
            st.OveruseEarned.data()[i] += p;
        }
        if (e.has(Record::kToday)) {
            st.RunsToday.data()[i] += float(run);
            st.PointsToday.data()[i] += p;
        }
    }

    // SchoolBest(L), the lowest PersonalBest(k, L) of pupils 1..1000, over block b: the
    // lowest time of their records in it.
    std::array<std::int32_t, core::kLevels> schoolBest(int b) const
    {
        std::array<std::int32_t, core::kLevels> school;
        school.fill(core::kNoTime);
        constexpr std::uint32_t kFirst = 1 * core::kLevels;
        constexpr std::uint32_t kEnd = (kSchoolBestPupils + 1) * core::kLevels;
        const Record *e = m_loaded.byBlock.data() + m_loaded.blockStart[std::size_t(b)];
        const Record *end = m_loaded.byBlock.data() + m_loaded.blockStart[std::size_t(b) + 1];
        for (; e != end; ++e) {
            const std::uint32_t i = e->entry & Record::kEntryMask;
            if (i - kFirst < kEnd - kFirst) {
                std::int32_t &s = school[i % core::kLevels];
                s = std::min(s, e->seconds);
            }
        }
        return school;
    }

    core::Statistics &m_stats;
    const char *m_records;
    LoadedRecords &m_loaded;
    int m_count = 0;
    double m_day = 0;
    std::array<Level, core::kLevels> m_levels{};
    std::array<std::array<std::int32_t, core::kLevels>, kSchoolBlocks> m_school{};
    std::array<int, LoadedRecords::kUnits> m_counted{};
    // Claimed by both threads: each flag on a cache line of its own.
    struct alignas(64) Claim {
        std::atomic<bool> flag{false};
    };
    std::array<Claim, LoadedRecords::kUnits> m_claimed{};
};

// A second thread that shares the computations with the thread that asks for them, started
// by the first computation and stopped at the end of the program. Between computations it
// waits, a moment busily (another often follows at once), then asleep. The results are the
// same whether it takes part or not.
class HelperThread {
public:
    // The helper, or nullptr when no thread could be started.
    static HelperThread *instance()
    {
        static HelperThread helper;
        return helper.m_thread.joinable() ? &helper : nullptr;
    }

    HelperThread(const HelperThread &) = delete;
    HelperThread &operator=(const HelperThread &) = delete;

    ~HelperThread()
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop.store(true);
        }
        m_wakeUp.notify_one();
        m_thread.join();
    }

    // Whether the next computation is to be shared (see run()).
    bool sharing() const { return m_alone.load(std::memory_order_relaxed) == 0; }

    // A computation begins to read its records: the helper is woken now, so that it is awake
    // when they are in memory.
    void expect()
    {
        if (sharing())
            wake();
    }

    // Runs c.work() on the calling thread and on the helper; returns when both are out of it.
    void run(Computation &c)
    {
        // One computation at a time shares the helper; another runs alone meanwhile. So do
        // the computations after one that waited long for the helper: when the other
        // processor is busy with other programs, the helper is often kept from running, at
        // times in the middle of its unit.
        const std::unique_lock<std::mutex> turn(m_turn, std::try_to_lock);
        if (!turn.owns_lock() || m_alone.load(std::memory_order_relaxed) > 0) {
            if (turn.owns_lock())
                m_alone.fetch_sub(1, std::memory_order_relaxed);
            c.work(false);
            return;
        }
        c.number = ++m_computations;
        m_open.store(&c);
        wake();
        c.work(false);
        m_open.store(nullptr);
        // The helper may still be at its unit.
        if (waitUntil([&] { return !m_inside.load(); }) == kBusyRounds)
            m_alone.store(kAloneAfterLongWait, std::memory_order_relaxed);
    }

private:
    // Rounds of the busy wait, each a pause of the processor (some tens of nanoseconds).
    static constexpr int kRoundsAfterWork = 1 << 12;
    static constexpr int kRoundsWhenWoken = 1 << 15;
    // A wait for the helper that outlasts the busy wait means that it was kept from running;
    // so many computations then run alone.
    static constexpr int kAloneAfterLongWait = 64;

    HelperThread()
    {
        try {
            m_thread = std::thread([this] { loop(); });
        } catch (const std::system_error &) {
            // No thread: every computation runs on the asking thread alone.
        }
    }

    void wake()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_sleeping)
                return;
            m_woken = true;
        }
        m_wakeUp.notify_one();
    }

    void loop()
    {
        std::uint64_t last = 0; // the computation the helper last took part in
        int rounds = kRoundsWhenWoken;
        for (;;) {
            for (int i = 0; i < rounds; ++i) {
                if (m_stop.load(std::memory_order_relaxed))
                    return;
                if (m_open.load(std::memory_order_relaxed) != nullptr && join(last)) {
                    // Only a moment for the next one: the asking thread now goes on with
                    // its own work (the paint of a window, say), which may want this
                    // processor for threads of its own.
                    i = 0;
                    rounds = kRoundsAfterWork;
                } else {
                    pause();
                }
            }
            std::unique_lock<std::mutex> lock(m_mutex);
            m_sleeping = true;
            m_wakeUp.wait(lock, [&] { return m_stop.load() || m_woken || m_open.load(); });
            m_sleeping = false;
            if (m_stop.load())
                return;
            rounds = m_woken ? kRoundsWhenWoken : kRoundsAfterWork;
            m_woken = false;
        }
    }

    // Takes part in the open computation unless it did already. The asking thread closes the
    // computation, then waits for m_inside to clear before it ends, so c stays valid meanwhile.
    bool join(std::uint64_t &last)
    {
        m_inside.store(true);
        Computation *c = m_open.load();
        const bool fresh = c != nullptr && c->number != last;
        if (fresh) {
            last = c->number;
            c->work(true);
        }
        m_inside.store(false);
        return fresh;
    }

    std::thread m_thread;
    std::mutex m_mutex; // guards m_sleeping and m_woken
    std::condition_variable m_wakeUp;
    bool m_sleeping = false;
    bool m_woken = false;
    std::atomic<bool> m_stop{false};
    std::mutex m_turn; // held by the computation that shares the helper
    std::uint64_t m_computations = 0;
    std::atomic<int> m_alone{0}; // computations still to run without the helper
    alignas(64) std::atomic<Computation *> m_open{nullptr};
    alignas(64) std::atomic<bool> m_inside{false};
};

} // namespace

bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded)
{
    loaded.LoadRetryCount = 0;
    loaded.LoadedCount = 0;
    loaded.imageRecords = 0;
    LoadErrors errors(state, loaded);
    platform::RecordFile file;
    while (!OpenGradeFile(state, file)) {
        if (!errors.retry(file, StepOpen))
            return false;
    }
    std::int64_t got = 0;
    for (;;) {
        const std::int64_t n = GradeRecordCount(file);
        if (n < 0) {
            if (!errors.retry(file, StepWindow))
                return false;
            continue;
        }
        // Only whole records are read; a partial record at the end is no record.
        const RecordWindow window = NewestWindow(n);
        const std::int64_t bytes = window.count * kGradeRecordSize;
        if (loaded.image.size() < std::size_t(bytes))
            loaded.image.resize(std::size_t(bytes));
        got = bytes == 0 ? 0
                         : file.readAt(window.first * kGradeRecordSize, loaded.image.data(), bytes);
        if (got >= 0)
            break;
        if (!errors.retry(file, StepRead))
            return false;
    }
    file.close();
    // The file may have been shortened meanwhile: whatever whole records arrived count.
    loaded.imageRecords = got / kGradeRecordSize;
    return true;
}

bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded)
{
    if (HelperThread *helper = HelperThread::instance())
        helper->expect();
    if (!LoadGradeRecords(state, loaded)) {
        // The counts are cleared before the load, whatever becomes of it.
        core::Statistics &st = state.stats;
        clearRows(st.TotalRuns, 0, core::kStudents);
        clearRows(st.TotalPoints, 0, core::kStudents);
        clearRows(st.PeriodRuns, 0, core::kStudents);
        clearRows(st.PeriodPoints, 0, core::kStudents);
        clearRows(st.OveruseRuns, 0, core::kStudents);
        clearRows(st.OveruseEarned, 0, core::kStudents);
        clearRows(st.RunsToday, 0, core::kStudents);
        clearRows(st.PointsToday, 0, core::kStudents);
        return false;
    }
    ComputeStatisticsFromImage(state, loaded.image.data(), loaded.imageRecords, loaded);
    return true;
}

bool ComputeStatistics(core::AppState &state)
{
    // The loaded records and the read buffer live for the program run.
    static thread_local LoadedRecords loaded;
    return ComputeStatistics(state, loaded);
}

void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count,
                                LoadedRecords &loaded)
{
    Computation computation(state, records, count, loaded);
    HelperThread *helper = HelperThread::instance();
    computation.splitRecords(helper != nullptr && helper->sharing());
    if (helper != nullptr)
        helper->run(computation);
    else
        computation.work(false);
    computation.finish();
}

QString GradeMark(int grade)
{
    static const char16_t *const marks[] = {u"①", u"②", u"③", u"④", u"⑤", u"⑥", u"Ⅰ", u"Ⅱ", u"Ⅲ"};
    if (grade >= 1 && grade <= 9)
        return QString::fromUtf16(marks[grade - 1]);
    return QStringLiteral("　");
}

int GradeFilterMatch(const QString &filter, int grade)
{
    if (filter == QStringLiteral("全学年"))
        return 1;
    if (filter == QStringLiteral("小学生全体"))
        return grade >= 1 && grade <= 6 ? 1 : 0;
    if (filter == QStringLiteral("中学生全体"))
        return grade >= 7 && grade <= 9 ? 1 : 0;
    static const char16_t *const single[] = {u"小１", u"小２", u"小３", u"小４", u"小５",
                                             u"小６", u"中１", u"中２", u"中３"};
    for (int g = 1; g <= 9; ++g) {
        if (filter == QString::fromUtf16(single[g - 1]))
            return grade == g ? 1 : 0;
    }
    return 0;
}

namespace {

struct MergeSorter {
    std::vector<std::int32_t> &keys;
    std::vector<core::Variant> &tags;
    std::vector<std::int32_t> workKeys;
    std::vector<core::Variant> workTags;

    void sort(int lo, int hi)
    {
        if (lo >= hi)
            return;
        const int m = (lo + hi) / 2;
        sort(lo, m);
        sort(m + 1, hi);
        int copied = 0;
        for (int i = lo; i <= m; ++i, ++copied) {
            workKeys[std::size_t(copied)] = keys[std::size_t(i)];
            workTags[std::size_t(copied)] = std::move(tags[std::size_t(i)]);
        }
        int a = m + 1;
        int b = 0;
        int d = lo;
        while (a <= hi && b < copied) {
            // Strictly lower only: of equal keys the right-hand entry goes first.
            if (workKeys[std::size_t(b)] < keys[std::size_t(a)]) {
                keys[std::size_t(d)] = workKeys[std::size_t(b)];
                tags[std::size_t(d)] = std::move(workTags[std::size_t(b)]);
                ++b;
            } else {
                keys[std::size_t(d)] = keys[std::size_t(a)];
                tags[std::size_t(d)] = std::move(tags[std::size_t(a)]);
                ++a;
            }
            ++d;
        }
        for (; b < copied; ++b, ++d) {
            keys[std::size_t(d)] = workKeys[std::size_t(b)];
            tags[std::size_t(d)] = std::move(workTags[std::size_t(b)]);
        }
    }
};

} // namespace

void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags)
{
    // Entries 1..n must exist in both tables.
    n = std::min<int>(n, int(std::min(keys.size(), tags.size())) - 1);
    if (n < 2)
        return;
    MergeSorter sorter{keys, tags, std::vector<std::int32_t>(std::size_t(n / 2 + 2)),
                       std::vector<core::Variant>(std::size_t(n / 2 + 2))};
    sorter.sort(1, n);
}

} // namespace tavoro::records
