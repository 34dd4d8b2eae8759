#include "plan/CellDates.h"

#include "plan/Table.h"

#include <QRegularExpression>

namespace Plan {

namespace {

const QString kWeekdays = QStringLiteral("月火水木金土日");

CellDate refused(const QString& problem)
{
    return {CellDate::Refused, QDate(), problem};
}

bool isReiwa(const QString& era)
{
    return era.startsWith(u'令') || era.compare(QLatin1String("R"), Qt::CaseInsensitive) == 0;
}

// The western year of an era's year: 令和 from 2019, 平成 from 1989.
int westernYear(const QString& era, const QString& year)
{
    const int number = year == QStringLiteral("元") ? 1 : year.toInt();
    return number + (isReiwa(era) ? 2018 : 1988);
}

}  // namespace

CellDate readCellDate(const QString& text, int schoolYear)
{
    static const QRegularExpression weekdayMark(QStringLiteral("\\s*\\(\\s*([月火水木金土日])(?:曜日?)?\\s*\\)$"));
    static const QRegularExpression western(QStringLiteral(
        "^([0-9]{4})\\s*[/.\\-年]\\s*([0-9]{1,2})\\s*[/.\\-月]\\s*([0-9]{1,2})\\s*日?(?:\\s+[0-9]{1,2}:[0-9]{2}(?::[0-9]{2})?)?$"));
    static const QRegularExpression era(
        QStringLiteral(
            "^(令和|平成|R|H)\\s*([0-9]{1,2}|元)\\s*[/.\\-年]\\s*([0-9]{1,2})\\s*[/.\\-月]\\s*([0-9]{1,2})\\s*日?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression monthDay(QStringLiteral("^([0-9]{1,2})\\s*[/\\-月]\\s*([0-9]{1,2})\\s*日?$"));

    QString folded = foldName(text);
    int weekday = 0;
    if (const QRegularExpressionMatch mark = weekdayMark.match(folded); mark.hasMatch()) {
        weekday = int(kWeekdays.indexOf(mark.captured(1))) + 1;
        folded.truncate(mark.capturedStart());
    }

    int year = 0, month = 0, day = 0;
    QString eraName;
    if (const QRegularExpressionMatch match = western.match(folded); match.hasMatch()) {
        year = match.captured(1).toInt();
        month = match.captured(2).toInt();
        day = match.captured(3).toInt();
    } else if (const QRegularExpressionMatch match = era.match(folded); match.hasMatch()) {
        eraName = match.captured(1);
        year = westernYear(eraName, match.captured(2));
        month = match.captured(3).toInt();
        day = match.captured(4).toInt();
    } else if (const QRegularExpressionMatch match = monthDay.match(folded); match.hasMatch()) {
        if (schoolYear == 0)
            return refused(QStringLiteral("月日だけの日付です。年度を指定してください。"));
        month = match.captured(1).toInt();
        day = match.captured(2).toInt();
        year = month >= 4 ? schoolYear : schoolYear + 1;
    } else {
        return {};
    }

    const QDate date(year, month, day);
    if (!date.isValid())
        return refused(QStringLiteral("存在しない日付です。"));
    if (!eraName.isEmpty() && isReiwa(eraName) && date < QDate(2019, 5, 1))
        return refused(QStringLiteral("存在しない日付です（令和は 2019年5月1日から）。"));
    if (!eraName.isEmpty() && !isReiwa(eraName) && date > QDate(2019, 4, 30))
        return refused(QStringLiteral("存在しない日付です（平成は 2019年4月30日まで）。"));
    if (year < 2000 || year > 2099)
        return refused(QStringLiteral("2000～2099年の範囲にない日付です。"));
    if (weekday != 0 && date.dayOfWeek() != weekday)
        return refused(QStringLiteral("曜日が合わない日付です（%1/%2/%3 は%4曜日）。")
                           .arg(year)
                           .arg(month)
                           .arg(day)
                           .arg(kWeekdays.at(date.dayOfWeek() - 1)));
    return {CellDate::Date, date, QString()};
}

int schoolYearIn(const QString& text)
{
    static const QRegularExpression western(QStringLiteral("([0-9]{4})\\s*年度"));
    static const QRegularExpression era(QStringLiteral("(令和|R)\\s*([0-9]{1,2}|元)\\s*年度"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QString folded = foldName(text);
    if (const QRegularExpressionMatch match = western.match(folded); match.hasMatch())
        return match.captured(1).toInt();
    if (const QRegularExpressionMatch match = era.match(folded); match.hasMatch())
        return westernYear(match.captured(1), match.captured(2));
    return 0;
}

}  // namespace Plan
