#include "whenruns/DayReport.h"

#include "store/ProgramTypes.h"
#include "whenruns/ProgramText.h"

#include <QJsonArray>
#include <QStringList>

namespace WhenRuns {

namespace {

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString entryName(EntryKind entry)
{
    return entry == EntryKind::Dated ? QStringLiteral("dated") : QStringLiteral("every-year");
}

QString kindName(SourceKind kind)
{
    switch (kind) {
    case SourceKind::Week:
        return QStringLiteral("week");
    case SourceKind::Special:
        return QStringLiteral("special");
    case SourceKind::Stop:
        return QStringLiteral("stop");
    case SourceKind::Conflict:
        break;
    }
    return QStringLiteral("conflict");
}

QJsonValue orNull(bool present, const QJsonValue& value)
{
    return present ? value : QJsonValue(QJsonValue::Null);
}

QJsonObject sourceJson(const DaySource& source)
{
    const bool chosen = source.kind == SourceKind::Special || source.kind == SourceKind::Stop;
    QJsonArray entries;
    for (const EntryRef& e : source.entries)
        entries.append(
            QJsonObject{{QStringLiteral("entry"), entryName(e.entry)}, {QStringLiteral("special"), e.special}});
    return QJsonObject{
        {QStringLiteral("kind"), kindName(source.kind)},
        {QStringLiteral("weekday"), source.weekday},
        {QStringLiteral("special"), orNull(chosen, source.special)},
        {QStringLiteral("entry"), orNull(chosen, entryName(source.entry))},
        {QStringLiteral("hasPrograms"), orNull(source.kind == SourceKind::Special, source.hasPrograms)},
        {QStringLiteral("entries"), orNull(source.kind == SourceKind::Conflict, entries)},
    };
}

QJsonObject programJson(int type, const DayProgram& program)
{
    const WeekRow& r = program.row;
    const bool period = hasPeriod(type);
    return QJsonObject{
        {QStringLiteral("start"), twoDigits(r.TimeONH) + ':' + twoDigits(r.TimeONM) + ':' + twoDigits(r.TimeONS)},
        {QStringLiteral("end"), orNull(period, twoDigits(r.TimeOFFH) + ':' + twoDigits(r.TimeOFFM))},
        {QStringLiteral("endDay"), orNull(period, r.YobiOFF)},
        {QStringLiteral("tune"), orNull(type == TypeChime, r.ChimeNO)},
        {QStringLiteral("interval"), orNull(type == TypeRepeat, r.Repeat)},
        {QStringLiteral("fromPreviousDay"), program.fromPreviousDay},
    };
}

}  // namespace

QString dayText(const DayPreview& preview)
{
    QStringList lines{dateText(preview.date)};
    for (const CircuitDay& day : preview.circuits) {
        lines << QString();
        lines << QStringLiteral("回路 %1  %2  %3")
                     .arg(day.circuit)
                     .arg(ProgramTypeName(day.type), sourceText(day.source, preview.date));
        if (const QString remark = dayRemark(day); !remark.isEmpty())
            lines << QStringLiteral("  ") + remark;
        for (const DayProgram& program : day.programs) {
            QString line = QStringLiteral("  ") + programLine(day.type, program.row);
            if (program.fromPreviousDay)
                line += QStringLiteral("  （") + fromPreviousDayText() + QStringLiteral("）");
            lines << line;
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject dayJson(const DayPreview& preview)
{
    QJsonArray circuits;
    for (const CircuitDay& day : preview.circuits) {
        QJsonArray programs;
        for (const DayProgram& program : day.programs)
            programs.append(programJson(day.type, program));
        circuits.append(QJsonObject{{QStringLiteral("circuit"), day.circuit},
                                    {QStringLiteral("type"), day.type},
                                    {QStringLiteral("source"), sourceJson(day.source)},
                                    {QStringLiteral("programs"), programs}});
    }
    return QJsonObject{{QStringLiteral("date"), preview.date.toString(Qt::ISODate)},
                       {QStringLiteral("circuits"), circuits}};
}

}  // namespace WhenRuns
