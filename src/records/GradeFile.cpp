// The grade file and its 44-byte records.
#include "GradeFile.h"

#include "core/AppState.h"
#include "core/FieldRanges.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/RecordFile.h"
#include "platform/TextCodec.h"

#include <bit>
#include <cmath>

namespace tavoro::records {
namespace {

const QDate kDateBase(1899, 12, 30);

template <typename U> void putLittle(char *out, U v)
{
    for (std::size_t i = 0; i < sizeof(U); ++i)
        out[i] = char((v >> (8 * i)) & 0xff);
}

template <typename U> U getLittle(const char *in)
{
    U v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i)
        v |= U(static_cast<unsigned char>(in[i])) << (8 * i);
    return v;
}

void putText(char *out, const GradeText &t)
{
    for (int i = 0; i < kGradeTextSize; ++i)
        out[i] = t[std::size_t(i)];
}

GradeText getText(const char *in)
{
    GradeText t;
    for (int i = 0; i < kGradeTextSize; ++i)
        t[std::size_t(i)] = in[i];
    return t;
}

} // namespace

void EncodeGradeRecord(const GradeRecord &r, char *out)
{
    putLittle(out + 0, std::bit_cast<std::uint64_t>(r.RecDate));
    putLittle(out + 8, std::bit_cast<std::uint64_t>(r.RecClock));
    putLittle(out + 16, std::uint16_t(r.RecStudent));
    putLittle(out + 18, std::uint16_t(r.RecLevel));
    putLittle(out + 20, std::uint32_t(r.RecSeconds));
    putText(out + 24, r.RecSchool);
    putText(out + 29, r.RecNote);
    putText(out + 34, r.RecPointsText);
    putText(out + 39, r.RecReserved);
}

GradeRecord DecodeGradeRecord(const char *in)
{
    GradeRecord r;
    r.RecDate = std::bit_cast<double>(getLittle<std::uint64_t>(in + 0));
    r.RecClock = std::bit_cast<double>(getLittle<std::uint64_t>(in + 8));
    r.RecStudent = std::int16_t(getLittle<std::uint16_t>(in + 16));
    r.RecLevel = std::int16_t(getLittle<std::uint16_t>(in + 18));
    r.RecSeconds = std::int32_t(getLittle<std::uint32_t>(in + 20));
    r.RecSchool = getText(in + 24);
    r.RecNote = getText(in + 29);
    r.RecPointsText = getText(in + 34);
    r.RecReserved = getText(in + 39);
    return r;
}

GradeText GradeTextField(const QString &text)
{
    // Cutting in the middle of a double-byte character would leave half a character that
    // every reader decodes as garbage; the whole character goes and a space takes its byte.
    const QByteArray bytes = platform::toCp932(platform::cp932Prefix(text, kGradeTextSize));
    GradeText t{' ', ' ', ' ', ' ', ' '};
    for (int i = 0; i < kGradeTextSize && i < bytes.size(); ++i)
        t[std::size_t(i)] = bytes[i];
    return t;
}

QString GradeFieldText(const GradeText &field)
{
    return platform::fromCp932(QByteArray(field.data(), kGradeTextSize));
}

QString GradeFieldTrimmed(const GradeText &field)
{
    int n = kGradeTextSize;
    while (n > 0 && field[std::size_t(n - 1)] == ' ')
        --n;
    return platform::fromCp932(QByteArray(field.data(), n));
}

double DateValue(const QDate &date)
{
    return double(kDateBase.daysTo(date));
}

QDate DateFromValue(double value)
{
    // QDate holds far more days than any record; keep to a range where the conversion to
    // a whole number of days is exact.
    if (!std::isfinite(value) || std::fabs(value) > 1e9)
        return {};
    return kDateBase.addDays(qint64(std::floor(value)));
}

bool GradeRecordInRange(const GradeRecord &record)
{
    const auto inDateRange = [](double v) {
        return v >= core::kMinRecordDate && v <= core::kMaxRecordDate; // false for NaN
    };
    return record.RecStudent >= 0 && record.RecStudent <= core::kMaxStudent &&
           record.RecLevel >= 0 && record.RecLevel <= core::kMaxLevel &&
           record.RecSeconds >= 0 && record.RecSeconds <= core::kMaxRecordSeconds &&
           inDateRange(record.RecDate) && inDateRange(record.RecClock);
}

QString GradeFilePath(const core::Settings &settings)
{
    return settings.ProgramDataFolder + QString::fromUtf16(core::kGradeFileName);
}

bool OpenGradeFile(const core::AppState &state, platform::RecordFile &file)
{
    return file.open(GradeFilePath(state.settings));
}

std::int64_t GradeRecordCount(platform::RecordFile &file)
{
    const std::int64_t length = file.length();
    return length < 0 ? -1 : length / kGradeRecordSize;
}

bool ReadGradeRecord(platform::RecordFile &file, std::int64_t n, GradeRecord &record)
{
    if (n < 1)
        return false;
    char buf[kGradeRecordSize];
    if (file.readAt((n - 1) * kGradeRecordSize, buf, kGradeRecordSize) != kGradeRecordSize)
        return false;
    record = DecodeGradeRecord(buf);
    return true;
}

bool WriteGradeRecord(platform::RecordFile &file, std::int64_t n, const GradeRecord &record)
{
    if (n < 1)
        return false;
    char buf[kGradeRecordSize];
    EncodeGradeRecord(record, buf);
    return file.writeAt((n - 1) * kGradeRecordSize, buf, kGradeRecordSize);
}

GradeRecord MakeRunRecord(core::AppState &state)
{
    GradeRecord r;
    platform::Clock &clock = state.clock();
    r.RecDate = DateValue(clock.today());
    // The time of day in whole seconds, as a fraction of a day.
    r.RecClock = std::floor(double(clock.secondsSinceMidnight())) / 86400.0;
    r.RecStudent = state.pupil.CurrentStudent;
    r.RecLevel = state.run.CurrentLevel;
    r.RecSeconds = state.run.RunTime;
    r.RecSchool = GradeTextField(state.settings.SchoolCode);
    r.RecNote = GradeTextField(QString());
    r.RecPointsText = GradeTextField(QStringLiteral("0"));
    r.RecReserved = GradeTextField(QString());
    return r;
}

} // namespace tavoro::records
