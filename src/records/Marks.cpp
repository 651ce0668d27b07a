// Marks of school grades and the school-year filter.
#include "Marks.h"

namespace tavoro::records {
namespace {

// Grades 1..9: elementary school 1..6, junior high school 7..9.
constexpr int kGrades = 9;
constexpr const char16_t *kMarks[kGrades] = {u"①", u"②", u"③", u"④", u"⑤", u"⑥", u"Ⅰ", u"Ⅱ", u"Ⅲ"};
constexpr const char16_t *kSingleGradeFilters[kGrades] = {
    u"小１", u"小２", u"小３", u"小４", u"小５", u"小６", u"中１", u"中２", u"中３"};

} // namespace

QString GradeMark(int grade)
{
    if (grade >= 1 && grade <= kGrades)
        return QString::fromUtf16(kMarks[grade - 1]);
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
    for (int g = 1; g <= kGrades; ++g) {
        if (filter == QString::fromUtf16(kSingleGradeFilters[g - 1]))
            return grade == g ? 1 : 0;
    }
    return 0;
}

} // namespace tavoro::records
