#pragma once
#include <QDate>
#include <QString>

namespace Plan {

// A cell read as a day of a school's table.
struct CellDate {
    enum Kind { NotADate, Date, Refused };
    Kind kind = NotADate;
    QDate date;       // Date
    QString problem;  // Refused: why, a sentence that follows the cell ("存在しない日付です。")
};

// Reads the forms Japanese sheets use, full-width digits too, a weekday in
// brackets after any of them checked against the day: 2028/4/19,
// 2028-04-19, 2028.4.19, 2028年4月19日, 令和10年4月19日, R10.4.19 (平成 and H
// as well); 4/19 and 4月19日 in the 年度 `schoolYear` (April to December in
// that year, January to March in the next; 0: not known, refused). A date
// that does not exist or lies outside 2000..2099 is refused; a text of no
// such form is no date.
CellDate readCellDate(const QString& text, int schoolYear);

// The 年度 a title names ("2028年度", "令和10年度", "R10年度"); 0 when none.
int schoolYearIn(const QString& text);

}  // namespace Plan
