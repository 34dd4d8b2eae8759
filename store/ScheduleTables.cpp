#include "store/ScheduleTables.h"

#include "store/ScheduleDocument.h"

namespace {

const char* const kWeekOrder =
    "CircuitNO,SpecialNO,YobiON,YobiOFF,TimeONH,TimeONM,TimeONS,TimeOFFH,TimeOFFM,Repeat,ChimeNO";

}  // namespace

const std::array<ScheduleTable, 4>& ScheduleTables()
{
    static const std::array<ScheduleTable, 4> tables{{
        {"T_Setting", StoreChanges::Settings, ""},
        {"T_Week", StoreChanges::WeekAndSpecial, kWeekOrder},
        {"T_Year", StoreChanges::Dated, "CircuitNO,Year,Month,Day"},
        {"T_YearE", StoreChanges::EveryYear, "CircuitNO,Month,Day"},
    }};
    return tables;
}

StoreChanges::Changes ChangeOfTable(const char* name)
{
    for (const ScheduleTable& table : ScheduleTables())
        if (qstrcmp(table.name, name) == 0)
            return table.change;
    return {};
}

QString RowOrderOf(const QString& name)
{
    // The week list's working copy keeps the week table's order.
    if (name == QLatin1String("T_WeekT"))
        return QLatin1String(kWeekOrder);
    for (const ScheduleTable& table : ScheduleTables())
        if (name == QLatin1String(table.name) && *table.order)
            return QLatin1String(table.order);
    throw StoreError(QStringLiteral("No table to renumber: %1").arg(name));
}
