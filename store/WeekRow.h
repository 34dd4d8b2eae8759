#pragma once
#include <QtContainerFwd>
#include <optional>

// A row of T_Week (or of its working copy T_WeekT), every column as the store
// holds it: SpecialNO 0 is a week program, 1..99 a special program; YobiON and
// YobiOFF are 0 日 … 6 土. What a place shows or works out from a row stays
// with that place.
struct WeekRow {
    int ID = 0;
    int CircuitNO = 0;
    int SpecialNO = 0;
    int YobiON = 0;
    int YobiOFF = 0;
    int TimeONH = 0;
    int TimeONM = 0;
    int TimeONS = 0;
    int TimeOFFH = 0;
    int TimeOFFM = 0;
    int Repeat = 0;
    int ChimeNO = 0;
};

class IntRow;
class QSqlQuery;
class QString;

// The columns of T_Week in the order of WeekRow's members, for a SELECT.
const QString& WeekRowColumns();
// The row whose columns, in that order, start at column `first` of the
// current result row.
WeekRow WeekRowAt(const QSqlQuery& query, int first = 0);
WeekRow WeekRowAt(const IntRow& row, int first = 0);
// The member named like its column; nullopt for any other name.
std::optional<int> WeekRowValue(const WeekRow& row, const QString& column);
// "INSERT INTO table (WeekRowColumns()) VALUES (?, …)", a mark per column.
QString WeekRowInsert(const QString& table);
// Every member in the order of WeekRowColumns(), for an INSERT.
QVariantList WeekRowValues(const WeekRow& row);
