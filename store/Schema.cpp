#include "store/Schema.h"

namespace {

QString intColumns(const QStringList& names)
{
    QStringList defs;
    for (const QString& name : names)
        defs << name + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
    return defs.join(QStringLiteral(", "));
}

QStringList textColumns(const QStringList& names)
{
    QStringList defs;
    for (const QString& name : names)
        defs << name + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    return defs;
}

const QStringList kSettingColumns{"CircuitNO", "Program", "PulseTime", "Chime"};
const QStringList kWeekColumns{"ID",      "CircuitNO", "SpecialNO", "YobiON",   "YobiOFF", "TimeONH",
                               "TimeONM", "TimeONS",   "TimeOFFH",  "TimeOFFM", "Repeat",  "ChimeNO"};
const QStringList kYearColumns{"ID", "CircuitNO", "Year", "Month", "Day", "SpecialNO"};
const QStringList kYearEColumns{"ID", "CircuitNO", "Month", "Day", "SpecialNO"};

QStringList weekPrintCells()
{
    QStringList cells;
    for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        for (int column = 1; column <= 3; ++column)
            cells << QStringLiteral("%1%2").arg(QLatin1String(day)).arg(column);
    return cells;
}

QStringList numbered(const QString& prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i);
    return names;
}

}  // namespace

namespace Schema {

QStringList createStatements()
{
    return {
        QStringLiteral("CREATE TABLE T_Setting (%1)").arg(intColumns(kSettingColumns)),
        QStringLiteral("CREATE TABLE T_Week (%1)").arg(intColumns(kWeekColumns)),
        QStringLiteral("CREATE TABLE T_WeekT (%1)").arg(intColumns(kWeekColumns)),
        QStringLiteral("CREATE TABLE T_WeekP (SortID INTEGER NOT NULL DEFAULT 0, %1)")
            .arg(textColumns(weekPrintCells()).join(QStringLiteral(", "))),
        QStringLiteral("CREATE TABLE T_Year (%1)").arg(intColumns(kYearColumns)),
        QStringLiteral("CREATE TABLE T_YearE (%1)").arg(intColumns(kYearEColumns)),
        QStringLiteral("CREATE TABLE T_YearP (PrintIndex INTEGER NOT NULL DEFAULT 0, "
                       "PrintNO INTEGER NOT NULL DEFAULT 0, %1)")
            .arg(textColumns(numbered(QStringLiteral("Mon"), 6)).join(QStringLiteral(", "))),
        QStringLiteral("CREATE TABLE T_YearH (PrintIndex INTEGER NOT NULL DEFAULT 0, %1)")
            .arg(textColumns(numbered(QStringLiteral("Month"), 6)).join(QStringLiteral(", "))),
        QStringLiteral("CREATE INDEX I_Week_Circuit ON T_Week (CircuitNO, SpecialNO, YobiON)"),
        QStringLiteral("CREATE INDEX I_Year_Circuit ON T_Year (CircuitNO, Year, Month, Day)"),
        QStringLiteral("CREATE INDEX I_YearE_Circuit ON T_YearE (CircuitNO, Month, Day)"),
    };
}

QStringList seedStatements()
{
    QStringList statements;
    for (int circuit = 1; circuit <= 8; ++circuit)
        statements << QStringLiteral("INSERT INTO T_Setting (CircuitNO, Program, PulseTime, Chime) "
                                     "VALUES (%1, 0, 0, 1)")
                          .arg(circuit);
    statements << QStringLiteral("INSERT INTO T_YearH VALUES (1, '1月', '2月', '3月', '4月', '5月', '6月')");
    statements << QStringLiteral("INSERT INTO T_YearH VALUES (2, '7月', '8月', '9月', '10月', '11月', '12月')");
    return statements;
}

QStringList upgradeStatements(int from)
{
    // One entry a version, from OldestUpgradable on.
    static const QList<QStringList> steps{
        {},  // 0 to 1: the same tables, only the number is new
    };
    return steps.value(from - OldestUpgradable);
}

QList<TableColumns> expectedTables()
{
    return {
        {"T_Setting", kSettingColumns},
        {"T_Week", kWeekColumns},
        {"T_WeekT", kWeekColumns},
        {"T_WeekP", QStringList{"SortID"} + weekPrintCells()},
        {"T_Year", kYearColumns},
        {"T_YearE", kYearEColumns},
        {"T_YearP", QStringList{"PrintIndex", "PrintNO"} + numbered(QStringLiteral("Mon"), 6)},
        {"T_YearH", QStringList{"PrintIndex"} + numbered(QStringLiteral("Month"), 6)},
    };
}

}  // namespace Schema
