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
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>

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

} // namespace

void GroupRecords(const char *records, std::int64_t count, LoadedRecords &loaded)
{
    if (count > kMaxLoaded)
        count = kMaxLoaded;
    const auto studentOf = [](const char *p) { return loadLittle<std::int16_t>(p + 16); };
    const auto levelOf = [](const char *p) { return loadLittle<std::int16_t>(p + 18); };
    // A pupil or level outside the tables cannot be counted anywhere.
    const auto inRange = [](int student, int level) {
        return student >= 0 && student <= core::kMaxStudent && level >= 0 &&
               level <= core::kMaxLevel;
    };

    // A counting sort by block of pupils: the records of each block are counted, then each
    // record is put at its block's next place (file order is kept within a block).
    constexpr int kBlockPupils = LoadedRecords::kBlockPupils;
    std::array<int, LoadedRecords::kBlocks + 1> start{};
    for (std::int64_t j = 0; j < count; ++j) {
        const char *p = records + j * kGradeRecordSize;
        const std::int16_t student = studentOf(p);
        if (inRange(student, levelOf(p)))
            ++start[std::size_t(student / kBlockPupils + 1)];
    }
    for (int b = 1; b <= LoadedRecords::kBlocks; ++b)
        start[std::size_t(b)] += start[std::size_t(b - 1)];
    LoadedRecords::Record *out = loaded.byBlock.data();
    int kept = 0;
    for (std::int64_t j = 0; j < count; ++j) {
        const char *p = records + j * kGradeRecordSize;
        const std::int16_t student = studentOf(p);
        const std::int16_t level = levelOf(p);
        if (!inRange(student, level))
            continue;
        const double date = loadLittle<double>(p);
        // Every record read counts for the best time; only these count for the rest.
        const bool keep = date >= 0 && student != 0 && level >= 1;
        kept += keep ? 1 : 0;
        out[start[std::size_t(student / kBlockPupils)]++] = {date, loadLittle<std::int32_t>(p + 20),
                                                             student, std::int8_t(level),
                                                             std::int8_t(keep ? 1 : 0)};
    }
    for (int b = 0; b < LoadedRecords::kBlocks; ++b)
        loaded.blockEnd[std::size_t(b)] = start[std::size_t(b)];
    loaded.LoadedCount = kept; // and blockEnd[b] is now the end of block b
}

bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded)
{
    loaded.LoadRetryCount = 0;
    loaded.LoadedCount = 0;
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
    GroupRecords(loaded.image.data(), got / kGradeRecordSize, loaded);
    return true;
}

void FillStatistics(core::AppState &state, LoadedRecords &loaded)
{
    core::Statistics &st = state.stats;
    const core::Criteria &c = state.criteria;
    const double today = DateValue(state.clock().today());

    std::array<LevelRule, core::kLevels> rules;
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        LevelRule &r = rules[std::size_t(level)];
        r.set(c.TargetTime[level], c.PointMultiplier[level]);
        // A period written as a text, or left empty, counts as 0 days.
        r.passFrom = today - c.PassPeriodDays[level].number();
        r.overuseFrom = today - c.OverusePeriodDays[level].number();
    }
    // The points of a time on a level. On a level whose target is below 1000 seconds (no
    // three-character rule) the times up to the target take their points from a table made
    // when the level is first met, the others from comparisons; any other level, and a
    // negative time, from the rule itself.
    struct QuickPoints {
        bool made = false;
        bool quick = false;
        std::int32_t target = 0;
        std::int32_t twice = 0;
        std::int32_t tenTimes = 0;
        int four = 0;
        int one = 0;
        const std::int32_t *upToTarget = nullptr;
    };
    std::array<QuickPoints, core::kLevels> quick{};
    const auto make = [&](int level) {
        QuickPoints &q = quick[std::size_t(level)];
        const LevelRule &r = rules[std::size_t(level)];
        q.made = true;
        if (r.target < 1 || r.target >= 1000 || r.earned[0] != 0)
            return;
        std::int32_t *table = loaded.pointsTable.data() + level * LoadedRecords::kTableTimes;
        for (std::int64_t t = 0; t <= r.target; ++t)
            table[t] = r.earned[std::size_t(cubePoints(r.target - t, r.target))];
        q.quick = true;
        q.target = std::int32_t(r.target);
        q.twice = 2 * q.target;
        q.tenTimes = 10 * q.target;
        q.four = r.earned[4];
        q.one = r.earned[1];
        q.upToTarget = table;
    };
    const auto points = [&](int level, std::int32_t t) {
        const QuickPoints &q = quick[std::size_t(level)];
        if (!q.made)
            make(level);
        if (!q.quick || t < 0)
            return rules[std::size_t(level)].points(t);
        // Both answers are worked out and one taken by masks, which spares the processor
        // guessing on which side of the target a time falls.
        const int upTo = -int(t <= q.target); // all bits set when true
        const int belowTwice = -int(t < q.twice);
        const int belowTen = -int(t < q.tenTimes);
        const int low = q.upToTarget[t & upTo];
        const int high = (q.four & belowTwice) | (q.one & belowTen & ~belowTwice);
        return (low & upTo) | (high & ~upTo);
    };
    std::array<std::int32_t, core::kLevels> school;
    school.fill(core::kNoTime);

    // The tables are far larger than the caches, and the records reach them in no order:
    // block by block of pupils, the rows are cleared (PersonalBest set to 99999) and then
    // filled from the records of the block while they are at hand.
    std::int32_t *best = st.PersonalBest.data();
    std::int16_t *totalRuns = st.TotalRuns.data();
    std::int32_t *totalPoints = st.TotalPoints.data();
    std::int16_t *periodRuns = st.PeriodRuns.data();
    std::int32_t *periodPoints = st.PeriodPoints.data();
    std::int16_t *overuseRuns = st.OveruseRuns.data();
    std::int32_t *overuseEarned = st.OveruseEarned.data();
    float *runsToday = st.RunsToday.data();
    std::int32_t *pointsToday = st.PointsToday.data();
    const LoadedRecords::Record *e = loaded.byBlock.data();
    for (int b = 0; b < LoadedRecords::kBlocks; ++b) {
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

        const LoadedRecords::Record *end = loaded.byBlock.data() + loaded.blockEnd[std::size_t(b)];
        for (; e != end; ++e) {
            const int level = e->level;
            const std::size_t i = std::size_t(e->student) * core::kLevels + std::size_t(level);
            const std::int32_t t = e->seconds;
            best[i] = std::min(best[i], t); // every record read
            // SchoolBest(L), the lowest PersonalBest(k, L) of pupils 1..1000, is the lowest
            // time of their records.
            const bool schoolPupil = e->student >= 1 && e->student <= kSchoolBestPupils;
            school[std::size_t(level)] =
                std::min(school[std::size_t(level)], schoolPupil ? t : core::kNoTime);
            if (!e->kept)
                continue;
            const LevelRule &rule = rules[std::size_t(level)];
            const int p = points(level, t);
            // A record of 6000 seconds or more is no run but earns its points.
            const int run = t < kRunLimit ? 1 : 0;
            const double date = e->date;
            totalRuns[i] = std::int16_t(totalRuns[i] + run);
            totalPoints[i] += p;
            if (date > rule.passFrom) {
                periodRuns[i] = std::int16_t(periodRuns[i] + run);
                periodPoints[i] += p;
            }
            if (date > rule.overuseFrom) {
                overuseRuns[i] = std::int16_t(overuseRuns[i] + run);
                overuseEarned[i] += p;
            }
            if (date >= today && date < today + 1) {
                runsToday[i] += float(run);
                pointsToday[i] += p;
            }
        }
    }
    for (int level = 1; level <= core::kMaxLevel; ++level)
        st.SchoolBest[level] = school[std::size_t(level)];
}

bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded)
{
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
    FillStatistics(state, loaded);
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
    GroupRecords(records, count, loaded);
    FillStatistics(state, loaded);
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
