#include "store/WeekRow.h"

#include "store/BulkInsert.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

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

std::optional<int> WeekRowValue(const WeekRow& row, const QString& column)
{
    static const std::array<int WeekRow::*, 12> members{&WeekRow::ID,       &WeekRow::CircuitNO, &WeekRow::SpecialNO,
                                                        &WeekRow::YobiON,   &WeekRow::YobiOFF,   &WeekRow::TimeONH,
                                                        &WeekRow::TimeONM,  &WeekRow::TimeONS,   &WeekRow::TimeOFFH,
                                                        &WeekRow::TimeOFFM, &WeekRow::Repeat,    &WeekRow::ChimeNO};
    static const QStringList names = WeekRowColumns().split(QStringLiteral(", "));
    const qsizetype index = names.indexOf(column);
    if (index < 0)
        return std::nullopt;
    return row.*members[size_t(index)];
}
