// The newest records of the grade file, read with the retries of a shared file.
#include "GradeLoad.h"

#include "Failure.h"
#include "core/AppState.h"
#include "platform/Events.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"

#include <QString>

namespace tavoro::records {
namespace {

constexpr int kNotFoundTries = 4;

// The step numbers the load names in its messages.
enum LoadStep { StepOpen = 3, StepWindow = 4, StepRead = 5 };

// What the load does after a failed action on the file: true when the action is to be tried
// again, false when the program has been ended.
bool retryAfter(core::AppState &state, LoadedRecords &loaded, const platform::RecordFile &file,
                int step)
{
    const QString s = QString::number(step);
    const QString number = QString::number(file.errorNumber());
    switch (file.error()) {
    case platform::RecordFile::Error::NotFound:
        platform::waitWithEvents(state.clock(), 5000);
        if (state.programExit().exitRequested())
            return false;
        if (++loaded.LoadRetryCount >= kNotFoundTries)
            return EndProgramWithMessage(state, QStringLiteral("ファイルがありません") + s +
                                                    file.errorText() + number +
                                                    GradeFilePlace(state.settings, file.error()));
        return true;
    case platform::RecordFile::Error::Busy:
        return WaitForBusyFile(state);
    default:
        // The load fails before any record is taken: entry 0, which holds nothing.
        return EndProgramWithMessage(
            state, QStringLiteral("成績ランダムファイル表示") + s + number + file.errorText() +
                       number +
                       QStringLiteral("/date0/i=0/time=0/name=/Bangou=0/level=0/time=0line") + s +
                       GradeFilePlace(state.settings, file.error()));
    }
}

} // namespace

RecordWindow NewestWindow(std::int64_t recordCount, std::int64_t newest)
{
    RecordWindow w;
    w.first = recordCount > newest ? recordCount - newest : 0;
    w.count = recordCount - w.first;
    return w;
}

bool CountedRecord(const GradeRecord &record)
{
    return record.RecDate >= 0 && record.RecStudent != 0 && record.RecLevel != 0;
}

void TakeGradeRecords(const char *bytes, std::int64_t count, LoadedRecords &loaded)
{
    loaded.records.clear();
    loaded.LoadedCount = 0;
    loaded.records.reserve(std::size_t(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const GradeRecord r = DecodeGradeRecord(bytes + i * kGradeRecordSize);
        if (!GradeRecordInRange(r))
            continue; // it would index past the tables
        loaded.records.push_back(r);
        if (CountedRecord(r))
            ++loaded.LoadedCount;
    }
}

bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded, std::int64_t newest)
{
    loaded.LoadRetryCount = 0;
    loaded.records.clear();
    loaded.LoadedCount = 0;
    platform::RecordFile file;
    while (!OpenGradeFile(state, file)) {
        if (!retryAfter(state, loaded, file, StepOpen))
            return false;
    }
    std::vector<char> bytes;
    std::int64_t got = 0;
    for (;;) {
        const std::int64_t n = GradeRecordCount(file);
        if (n < 0) {
            if (!retryAfter(state, loaded, file, StepWindow))
                return false;
            continue;
        }
        const RecordWindow window = NewestWindow(n, newest);
        bytes.resize(std::size_t(window.count * kGradeRecordSize));
        got = bytes.empty() ? 0
                            : file.readAt(window.first * kGradeRecordSize, bytes.data(),
                                          std::int64_t(bytes.size()));
        if (got >= 0)
            break;
        if (!retryAfter(state, loaded, file, StepRead))
            return false;
    }
    file.close();
    // The file may have been shortened meanwhile: whatever whole records arrived count.
    TakeGradeRecords(bytes.data(), got / kGradeRecordSize, loaded);
    return true;
}

} // namespace tavoro::records
