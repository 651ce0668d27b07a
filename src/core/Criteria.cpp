// Loading the criteria file.
#include "Criteria.h"

#include "AppState.h"
#include "FieldRanges.h"
#include "platform/FieldReader.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace tavoro::core {

QString CriteriaFilePath(const AppState &state)
{
    return state.settings.ProgramDataFolder + QStringLiteral("タイム回数データ.txt");
}

int ParseCriteria(AppState &state, const QString &text)
{
    Criteria &c = state.criteria;
    platform::FieldReader reader(text);
    int index = -1;
    while (!reader.atEnd()) {
        ++index;
        if (index > kMaxLevel)
            break; // the table has room for levels 1..35 only
        c.TargetTime[index] = platform::toIntegral<std::int32_t>(reader.nextNumber());
        c.MinTime[index] = platform::toIntegral<std::int32_t>(reader.nextNumber());
        c.ClearPoints[index] = platform::toIntegral<std::int32_t>(reader.nextNumber());
        c.ClearCount[index] = platform::toIntegral<std::int16_t>(reader.nextNumber());
        c.PointMultiplier[index] = float(reader.nextNumber());
        c.OveruseCount[index] = Variant::fromField(reader.next());
        c.OverusePoints[index] = Variant::fromField(reader.next());
        c.PassPeriodDays[index] = Variant::fromField(reader.next());
        c.OverusePeriodDays[index] = Variant::fromField(reader.next());
        c.CriteriaSpare1[index] = Variant::fromField(reader.next());
        c.CriteriaSpare2[index] = Variant::fromField(reader.next());
        c.CriteriaSpare3[index] = Variant::fromField(reader.next());
    }
    return std::max(0, std::min(index, kMaxLevel));
}

std::optional<QString> TakeCriteria(AppState &state, const QString &text)
{
    const std::vector<RangeFault> faults = CriteriaRangeFaults(text);
    if (!faults.empty()) {
        QString why = faults.front().message() + QStringLiteral("。");
        if (faults.size() > 1)
            why += QStringLiteral("（ほかに %1 か所あります）").arg(faults.size() - 1);
        return why;
    }
    ParseCriteria(state, text);
    return std::nullopt;
}

std::optional<QString> LoadCriteria(AppState &state)
{
    const platform::TextFileResult file = platform::readTextFile(CriteriaFilePath(state));
    if (!file.ok()) {
        if (file.error == platform::FileError::NotFound)
            return QStringLiteral("基準データのファイルがありません。");
        return QStringLiteral("基準データのファイルを読めません（%1）。").arg(file.errorText);
    }
    return TakeCriteria(state, file.text);
}

} // namespace tavoro::core
