#pragma once
#include "plan/Table.h"

#include <QByteArray>
#include <QDate>

namespace Plan {

// The first sheet of an .xlsx workbook: texts (shared or inline), numbers
// as Excel stores them, and numbers with a date format as dates
// ("2028/4/19"). Each cell keeps the row and column Excel shows it in; the
// text of merged cells fills every cell they cover.
Grid gridFromXlsx(const QByteArray& bytes);

// The day of an Excel serial number (its whole part): the 1900 date system
// counts 1900-01-01 as 1 and has a 29 February 1900 (60), which is given as
// the text "1900/2/29"; the 1904 system counts from 1904-01-01 as 0.
// Empty for a serial before the first day.
QString excelSerialDate(double serial, bool date1904);

// Whether a number format shows a date: the built-in date formats and the
// Japanese ones, or a format of its own that holds a year, month or day.
bool isDateFormat(int id, const QString& code);

}  // namespace Plan
