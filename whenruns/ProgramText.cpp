#include "whenruns/ProgramText.h"

#include "store/ProgramTypes.h"
#include "week/Days.h"
#include "week/ProgramList.h"
#include "year/YearEntries.h"

#include <QStringList>

namespace WhenRuns {

ProgramTexts programTexts(int type, const WeekRow& row, bool withDays)
{
    ProgramTexts texts;
    texts.time = type == TypeChime ? ProgramLists::timeText(row.TimeONH, row.TimeONM, row.TimeONS)
                                   : ProgramLists::timeText(row.TimeONH, row.TimeONM);
    if (type == TypeChime)
        texts.tune = QString::number(row.ChimeNO);
    if (hasPeriod(type)) {
        texts.endTime = ProgramLists::timeText(row.TimeOFFH, row.TimeOFFM);
        if (withDays)
            texts.endDay = Days::name(row.YobiOFF);
    }
    if (type == TypeRepeat)
        texts.interval = QString::number(row.Repeat);
    return texts;
}

QString programLine(int type, const WeekRow& row, bool withDays)
{
    const ProgramTexts texts = programTexts(type, row, withDays);
    QString line = texts.time;
    if (hasPeriod(type)) {
        line += QStringLiteral(" ～ ");
        if (!texts.endDay.isEmpty())
            line += texts.endDay + QLatin1Char(' ');
        line += texts.endTime;
    }
    if (!texts.tune.isEmpty())
        line += QStringLiteral("  曲番号 ") + texts.tune;
    if (!texts.interval.isEmpty())
        line += QStringLiteral("  繰返し間隔(分) ") + texts.interval;
    return line;
}

QString specialText(int special)
{
    return YearEntries::EntryText(special);
}

QString entryText(EntryKind entry, const QDate& date)
{
    return entry == EntryKind::EveryYear ? QStringLiteral("年間（毎年）")
                                         : QStringLiteral("年間（%1年）").arg(date.year());
}

QString sourceText(const DaySource& source, const QDate& date)
{
    switch (source.kind) {
    case SourceKind::Week:
        return QStringLiteral("週間: ") + Days::fullName(source.weekday);
    case SourceKind::Special:
    case SourceKind::Stop:
        return entryText(source.entry, date) + QStringLiteral(": ") + specialText(source.special);
    case SourceKind::Conflict:
        break;
    }
    QStringList entries;
    for (const EntryRef& e : source.entries)
        entries << entryText(e.entry, date) + specialText(e.special);
    return QStringLiteral("競合: ") + entries.join(QStringLiteral(" ／ "));
}

QString dayRemark(const CircuitDay& day)
{
    switch (day.source.kind) {
    case SourceKind::Conflict:
        return QStringLiteral("この日には年間プログラムの指定が重なっています。どれが実行されるかは決まっていません。");
    case SourceKind::Stop:
        return QStringLiteral("この日はプログラムを実行しません。");
    case SourceKind::Special:
        return day.source.hasPrograms
            ? QString()
            : specialText(day.source.special) + QStringLiteral(" にはプログラムがありません。");
    case SourceKind::Week:
        break;
    }
    return day.programs.isEmpty() ? QStringLiteral("この曜日のプログラムはありません。") : QString();
}

QString fromPreviousDayText()
{
    return QStringLiteral("前日から継続");
}

QString dateText(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日（%4）")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(Days::name(weekdayOf(date)));
}

}  // namespace WhenRuns
