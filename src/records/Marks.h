// School grades in the reports of the rankings: their marks and the school-year filter.
#pragma once

#include <QString>

namespace tavoro::records {

// The mark of a school grade in report lines: 1..6 "①".."⑥", 7..9 "Ⅰ".."Ⅲ", any other value
// a full-width space.
QString GradeMark(int grade);

// 1 when `grade` passes the school-year filter text, else 0: "全学年" every grade,
// "小学生全体" 1..6, "小１".."小６" that grade, "中学生全体" 7..9, "中１".."中３" 7..9. Any other
// text passes no grade.
int GradeFilterMatch(const QString &filter, int grade);

} // namespace tavoro::records
