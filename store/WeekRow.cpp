#include "store/WeekRow.h"

#include "store/BulkInsert.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace {

template <typename Column>
WeekRow weekRowFrom(Column column)
{
    return WeekRow{column(0), column(1), column(2), column(3), column(4),  column(5),
                   column(6), column(7), column(8), column(9), column(10), column(11)};
}

}  // namespace

const QString& WeekRowColumns()
{
    static const QString columns = QStringLiteral(
        "ID, CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO");
    return columns;
}

WeekRow WeekRowAt(const QSqlQuery& query, int first)
{
    return weekRowFrom([&](int column) { return query.value(first + column).toInt(); });
}

WeekRow WeekRowAt(const IntRow& row, int first)
{
    return weekRowFrom([&](int column) { return row.at(first + column); });
}
