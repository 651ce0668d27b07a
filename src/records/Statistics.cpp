// Statistics and rankings from the grade file.
#include "Statistics.h"

#include "Failure.h"
#include "GradeFile.h"
#include "core/AppState.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/Numbers.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
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
        constexpr std::int64_t kExactLimit = 200000;
        if (d <= kExactLimit && target <= kExactLimit) {
            // integer part of (d / T)^3 x 50 + 5, on whole numbers so that no rounding
            // of a binary fraction can move it
            return int(50 * d * d * d / (target * target * target)) + 5;
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
    std::int64_t target = 0;
    DecimalFactor factor;
    double passFrom = 0;    // a date later than this is within the pass period
    double overuseFrom = 0; // ... within the too-much period

    int points(std::int32_t t) const
    {
        return factor.apply(basePoints(target, t, firstThreeCharacters(t)));
    }
};

// The numeric value of a points text: leading spaces, a sign, digits and a fraction.
std::int32_t pointsTextValue(const char *p)
{
    int i = 0;
    while (i < kGradeTextSize && p[i] == ' ')
        ++i;
    bool negative = false;
    if (i < kGradeTextSize && (p[i] == '-' || p[i] == '+'))
        negative = p[i++] == '-';
    double v = 0;
    while (i < kGradeTextSize && p[i] >= '0' && p[i] <= '9')
        v = v * 10 + (p[i++] - '0');
    if (i < kGradeTextSize && p[i] == '.') {
        double scale = 0.1;
        for (++i; i < kGradeTextSize && p[i] >= '0' && p[i] <= '9'; ++i, scale /= 10)
            v += (p[i] - '0') * scale;
    }
    return platform::toIntegral<std::int32_t>(negative ? -v : v);
}

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
enum LoadStep { StepEntry = 0, StepOpen = 3, StepWindow = 4, StepRead = 5, StepLast = 11 };

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
                                                          QString::number(step) +
                                                          file.errorText() +
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
        // i is the current entry: the load fails before any entry is taken.
        const LoadedRecord &e = m_loaded.entries.front();
        const QString number = QString::number(file.errorNumber());
        const QString s = QString::number(step);
        return EndProgramWithMessage(
            m_state, QStringLiteral("成績ランダムファイル表示") + s + number + file.errorText() +
                         number + QStringLiteral("/date") + platform::numberText(e.LoadedDate) +
                         QStringLiteral("/i=0/time=") + platform::numberText(e.LoadedClock) +
                         QStringLiteral("/name=/Bangou=") + QString::number(e.LoadedStudent) +
                         QStringLiteral("/level=") + QString::number(e.LoadedLevel) +
                         QStringLiteral("/time=") + QString::number(e.LoadedTime) +
                         QStringLiteral("line") + s);
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
    rule.target = criteria.TargetTime[level];
    rule.factor = DecimalFactor::of(criteria.PointMultiplier[level]);
    return rule.points(seconds);
}

int EarnedPoints(float multiplier, int points)
{
    return DecimalFactor::of(multiplier).apply(points);
}

void ClearCountTables(core::Statistics &st)
{
    const auto clear = [](auto &table) {
        std::memset(static_cast<void *>(table.data()), 0, table.size() * sizeof(*table.data()));
    };
    clear(st.TotalRuns);
    clear(st.TotalPoints);
    clear(st.PeriodRuns);
    clear(st.PeriodPoints);
    clear(st.OveruseRuns);
    clear(st.OveruseEarned);
    clear(st.RunsToday); // all-zero bytes are 0.0f
    clear(st.PointsToday);
}

void LoadRecordsFromImage(core::AppState &state, const char *records, std::int64_t count,
                          LoadedRecords &loaded)
{
    core::Statistics &st = state.stats;
    std::fill(st.PersonalBest.data(), st.PersonalBest.data() + st.PersonalBest.size(),
              core::kNoTime);
    std::int32_t *best = st.PersonalBest.data();
    LoadedRecord *out = loaded.entries.data();
    int kept = 0;
    if (count > kMaxLoaded)
        count = kMaxLoaded;
    for (std::int64_t j = 0; j < count; ++j) {
        const char *p = records + j * kGradeRecordSize;
        const std::int16_t student = loadLittle<std::int16_t>(p + 16);
        const std::int16_t level = loadLittle<std::int16_t>(p + 18);
        // A pupil or level outside the tables cannot be counted anywhere.
        if (student < 0 || student > core::kMaxStudent || level < 0 || level > core::kMaxLevel)
            continue;
        const std::int32_t seconds = loadLittle<std::int32_t>(p + 20);
        std::int32_t &b = best[std::size_t(student) * core::kLevels + std::size_t(level)];
        if (seconds < b)
            b = seconds; // also for a record that is not kept below
        const double date = loadLittle<double>(p);
        if (!(date >= 0) || student == 0 || level < 1)
            continue;
        LoadedRecord &e = out[kept++];
        e.LoadedDate = date;
        e.LoadedClock = loadLittle<double>(p + 8);
        e.LoadedStudent = student;
        e.LoadedLevel = level;
        e.LoadedTime = seconds;
        e.LoadedPoints = pointsTextValue(p + 34);
    }
    loaded.LoadedCount = kept;

    for (int level = 1; level <= core::kMaxLevel; ++level) {
        std::int32_t school = core::kNoTime;
        for (int k = 1; k <= kSchoolBestPupils; ++k)
            school = std::min(school, st.PersonalBest(k, level));
        st.SchoolBest[level] = school;
    }
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
    LoadRecordsFromImage(state, loaded.image.data(), got / kGradeRecordSize, loaded);
    return true;
}

void AccumulateStatistics(core::AppState &state, const LoadedRecords &loaded)
{
    core::Statistics &st = state.stats;
    const core::Criteria &c = state.criteria;
    const double today = DateValue(state.clock().today());

    std::array<LevelRule, core::kLevels> rules;
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        LevelRule &r = rules[std::size_t(level)];
        r.target = c.TargetTime[level];
        r.factor = DecimalFactor::of(c.PointMultiplier[level]);
        // A period written as a text, or left empty, counts as 0 days.
        r.passFrom = today - c.PassPeriodDays[level].number();
        r.overuseFrom = today - c.OverusePeriodDays[level].number();
    }

    std::int16_t *totalRuns = st.TotalRuns.data();
    std::int32_t *totalPoints = st.TotalPoints.data();
    std::int16_t *periodRuns = st.PeriodRuns.data();
    std::int32_t *periodPoints = st.PeriodPoints.data();
    std::int16_t *overuseRuns = st.OveruseRuns.data();
    std::int32_t *overuseEarned = st.OveruseEarned.data();
    float *runsToday = st.RunsToday.data();
    std::int32_t *pointsToday = st.PointsToday.data();

    const LoadedRecord *e = loaded.entries.data();
    const LoadedRecord *end = e + loaded.LoadedCount;
    for (; e != end; ++e) {
        const int level = e->LoadedLevel;
        const LevelRule &rule = rules[std::size_t(level)];
        const std::size_t i = std::size_t(e->LoadedStudent) * core::kLevels + std::size_t(level);
        const std::int32_t t = e->LoadedTime;
        const int p = rule.points(t);
        const bool isRun = t < kRunLimit;
        const double date = e->LoadedDate;
        if (isRun)
            ++totalRuns[i];
        if (date > rule.passFrom) {
            if (isRun)
                ++periodRuns[i];
            periodPoints[i] += p;
        }
        if (date > rule.overuseFrom) {
            if (isRun)
                ++overuseRuns[i];
            overuseEarned[i] += p;
        }
        totalPoints[i] += p;
        if (date >= today && date < today + 1) {
            if (isRun)
                runsToday[i] += 1;
            pointsToday[i] += p;
        }
    }
}

bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded)
{
    ClearCountTables(state.stats);
    if (!LoadGradeRecords(state, loaded))
        return false;
    AccumulateStatistics(state, loaded);
    return true;
}

bool ComputeStatistics(core::AppState &state)
{
    // The loaded-record tables and the read buffer live for the program run.
    static thread_local LoadedRecords loaded;
    return ComputeStatistics(state, loaded);
}

void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count,
                                LoadedRecords &loaded)
{
    ClearCountTables(state.stats);
    LoadRecordsFromImage(state, records, count, loaded);
    AccumulateStatistics(state, loaded);
}

QString GradeMark(int grade)
{
    static const char16_t *const marks[] = {u"①", u"②", u"③", u"④", u"⑤",
                                            u"⑥", u"Ⅰ", u"Ⅱ", u"Ⅲ"};
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
