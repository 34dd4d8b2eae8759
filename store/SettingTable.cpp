#include "store/SettingTable.h"

#include "store/ScheduleDocument.h"

SettingTable ReadSettingTable(ScheduleDocument& document)
{
    SettingTable table{};
    QSqlQuery query =
        document.exec(QStringLiteral("SELECT CircuitNO, PulseTime, Program, Chime FROM T_Setting ORDER BY CircuitNO"));
    while (query.next()) {
        const int circuit = query.value(0).toInt();
        if (circuit < 1 || circuit > 8)
            throw StoreError(QStringLiteral("T_Setting holds an unknown circuit %1").arg(circuit));
        table[circuit] = CircuitSetting{qint16(query.value(1).toInt()), qint16(query.value(2).toInt()),
                                        qint16(query.value(3).toInt())};
    }
    return table;
}
