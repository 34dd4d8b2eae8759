#include "store/WeekRow.h"

#include "store/BulkInsert.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

namespace {

// The members in the order of WeekRowColumns().
const std::array<int WeekRow::*, 12> kMembers{&WeekRow::ID,       &WeekRow::CircuitNO, &WeekRow::SpecialNO,
                                              &WeekRow::YobiON,   &WeekRow::YobiOFF,   &WeekRow::TimeONH,
                                              &WeekRow::TimeONM,  &WeekRow::TimeONS,   &WeekRow::TimeOFFH,
                                              &WeekRow::TimeOFFM, &WeekRow::Repeat,    &WeekRow::ChimeNO};

template <typename Column>
WeekRow weekRowFrom(Column column)
{
    WeekRow row;
    for (size_t i = 0; i < kMembers.size(); ++i)
        row.*kMembers[i] = column(int(i));
    return row;
}

}  // namespace

const QString& WeekRowColumns()
{
    static const QString columns = QStringLiteral(
        "ID, CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO");
    return columns;
}

QString WeekRowInsert(const QString& table)
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, WeekRowColumns(), QStringList(int(kMembers.size()), QStringLiteral("?")).join(QLatin1Char(',')));
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
    static const QStringList names = WeekRowColumns().split(QStringLiteral(", "));
    const qsizetype index = names.indexOf(column);
    if (index < 0)
        return std::nullopt;
    return row.*kMembers[size_t(index)];
}

QVariantList WeekRowValues(const WeekRow& row)
{
    QVariantList values;
    for (int WeekRow::*member : kMembers)
        values << row.*member;
    return values;
}
