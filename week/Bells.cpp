#include "week/Bells.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "store/WeekPrograms.h"
#include "week/Days.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

std::optional<Bells::Period> period(const QString& text)
{
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2)
        return std::nullopt;
    const std::optional<int> start = Bells::parseTime(ends[0]);
    const std::optional<int> end = Bells::parseTime(ends[1]);
    if (!start || !end)
        return std::nullopt;
    return Bells::Period{*start, *end};
}

// A typed character as the timetable reader sees it: digits, ':', '-'
// between a start and its end, ',' and '\n' between periods, ' ' for any
// other blank. One character for one, so that positions still match.
QChar plainChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'０' && u <= u'９')
        return QChar(char16_t(u'0' + (u - u'０')));
    switch (u) {
    case u'：':
        return QLatin1Char(':');
    case u'－':
    case u'‐':
    case u'−':
    case u'–':
    case u'～':
    case u'〜':
    case u'~':
        return QLatin1Char('-');
    case u'、':
    case u'，':
        return QLatin1Char(',');
    case u'\r':
        return QLatin1Char('\n');
    default:
        break;
    }
    return c != QLatin1Char('\n') && c.isSpace() ? QLatin1Char(' ') : c;
}

bool isTimeChar(QChar c)
{
    return c.isDigit() || c == QLatin1Char(':');
}

// The typed times and what lies before each of them (and after the last),
// or the first character that belongs to neither.
struct TimetableWords {
    QStringList times, gaps;
    QString stray;
};

TimetableWords splitTimetable(const QString& text)
{
    QString plain = text;
    for (QChar& c : plain)
        c = plainChar(c);
    TimetableWords words;
    QString gap;
    for (qsizetype i = 0; i < plain.size();) {
        if (!isTimeChar(plain[i])) {
            if (!QStringLiteral("-,\n ").contains(plain[i])) {
                words.stray = text.mid(i, plain[i].isHighSurrogate() ? 2 : 1);
                return words;
            }
            gap += plain[i++];
            continue;
        }
        qsizetype end = i;
        while (end < plain.size() && isTimeChar(plain[end]))
            ++end;
        words.gaps << gap;
        words.times << plain.mid(i, end - i);
        gap.clear();
        i = end;
    }
    words.gaps << gap;
    return words;
}

// Why the gap before time `index` (the end of a period when odd) does not
// fit there; empty when it does.
QString gapError(const QString& gap, qsizetype index)
{
    if (index % 2 == 1) {
        const bool joined = gap.count(QLatin1Char('-')) == 1 || gap.trimmed().isEmpty();
        if (joined && !gap.contains(QLatin1Char(',')) && !gap.contains(QLatin1Char('\n')))
            return QString();
        return QStringLiteral("%1時限目の開始と終了は「-」でつないでください。").arg(index / 2 + 1);
    }
    if (!gap.contains(QLatin1Char('-')))
        return QString();
    if (index == 0)
        return QStringLiteral("1時限目の前の「-」が余分です。");
    return QStringLiteral("%1時限目の後の「-」が余分です。").arg(index / 2);
}

// The index of the first period that ends no later than it starts or starts
// before the one before it ends; -1 when none does.
qsizetype firstOutOfOrder(const QList<Bells::Period>& periods)
{
    for (qsizetype i = 0; i < periods.size(); ++i)
        if (periods[i].end <= periods[i].start || (i > 0 && periods[i].start < periods[i - 1].end))
            return i;
    return -1;
}

// The days a target writes a row on; a special program has day 0.
QList<int> daysOf(const Bells::Target& target)
{
    return target.special > 0 ? QList<int>{0} : Days::range(target.day);
}

// The whole-minute times the circuit holds under the special number, as
// day * kMinutesPerDay + minute.
QSet<int> heldTimes(ScheduleDocument& document, int circuit, int special)
{
    ScheduleModel::WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = special;
    match.TimeONS = 0;
    QSet<int> held;
    for (const WeekRow& row : ScheduleModel::weekRowsMatching(document, match, ScheduleModel::WeekSort::Stored))
        held.insert(row.YobiON * kMinutesPerDay + row.TimeONH * 60 + row.TimeONM);
    return held;
}

Bells::Result refused(const QString& reason)
{
    Bells::Result result;
    result.reason = reason;
    return result;
}

std::optional<Bells::Result> checkCircuit(ScheduleDocument& document, const Bells::Request& request)
{
    const int type = document.circuit(request.circuit).Program;
    if (type != TypeTimeSignal && type != TypeChime)
        return refused(QStringLiteral("回路 %1 は報時・チャイムの回路ではありません。").arg(request.circuit));
    if (type == TypeTimeSignal && request.tunes)
        return refused(QStringLiteral("報時の回路には曲を指定できません。"));
    return std::nullopt;
}

}  // namespace

namespace Bells {

std::optional<int> parseTime(const QString& text)
{
    static const QRegularExpression time(QStringLiteral("^([01]?[0-9]|2[0-3]):([0-5][0-9])$"));
    const QRegularExpressionMatch match = time.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() * 60 + match.captured(2).toInt();
}

QString timeText(int minute)
{
    return QString::asprintf("%d:%02d", minute / 60, minute % 60);
}

bool inOrder(const QList<Period>& periods)
{
    return !periods.isEmpty() && firstOutOfOrder(periods) < 0;
}

qsizetype firstPastMidnight(const QList<Period>& periods)
{
    const auto past = std::find_if(periods.begin(), periods.end(), [](const Period& p) { return p.end < p.start; });
    return past == periods.end() ? -1 : past - periods.begin();
}

std::optional<QList<Period>> parsePeriods(const QString& text)
{
    QList<Period> periods;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const std::optional<Period> next = period(part);
        if (!next)
            return std::nullopt;
        periods << *next;
    }
    if (!inOrder(periods))
        return std::nullopt;
    return periods;
}

TypedTimetable parseTimetableText(const QString& text)
{
    const auto refused = [](const QString& error) { return TypedTimetable{{}, error}; };
    const TimetableWords words = splitTimetable(text);
    if (!words.stray.isEmpty())
        return refused(QStringLiteral("「%1」は時程に使えない文字です。").arg(words.stray));
    if (words.times.isEmpty())
        return refused(QStringLiteral("時程を入力してください。"));
    QList<int> minutes;
    for (qsizetype i = 0; i < words.times.size(); ++i) {
        if (const QString error = gapError(words.gaps[i], i); !error.isEmpty())
            return refused(error);
        const std::optional<int> minute = parseTime(words.times[i]);
        if (!minute)
            return refused(QStringLiteral("%1時限目の%2時刻「%3」は 0:00～23:59 の H:MM で入力してください。")
                               .arg(i / 2 + 1)
                               .arg(i % 2 == 0 ? QStringLiteral("開始") : QStringLiteral("終了"), words.times[i]));
        minutes << *minute;
    }
    if (minutes.size() % 2 == 1)
        return refused(QStringLiteral("%1時限目の終了時刻がありません。").arg(minutes.size() / 2 + 1));
    if (const QString error = gapError(words.gaps.last(), words.times.size()); !error.isEmpty())
        return refused(error);
    TypedTimetable typed;
    for (qsizetype i = 0; i < minutes.size(); i += 2)
        typed.periods << Period{minutes[i], minutes[i + 1]};
    if (const qsizetype past = firstPastMidnight(typed.periods); past >= 0)
        return refused(
            QStringLiteral("%1時限目の終了が開始より前です。0:00をまたぐ時限は設定できません。").arg(past + 1));
    if (const qsizetype wrong = firstOutOfOrder(typed.periods); wrong >= 0)
        return refused(QStringLiteral("%1時限目の時刻が重なっているか、時刻順になっていません。").arg(wrong + 1));
    return typed;
}

std::optional<QList<Period>> FillPeriods(const QuickFill& fill)
{
    if (fill.length <= 0 || fill.count <= 0 || fill.breakLength < 0 || fill.lunchLength < 0)
        return std::nullopt;
    QList<Period> periods;
    int start = fill.firstStart;
    for (int number = 1; number <= fill.count; ++number) {
        const int end = start + fill.length;
        if (end >= kMinutesPerDay)
            return std::nullopt;
        periods << Period{start, end};
        start = end + (number == fill.lunchAfter ? fill.lunchLength : fill.breakLength);
    }
    return periods;
}

std::optional<Target> parseTarget(const QString& text)
{
    static const QRegularExpression special(QStringLiteral("^P([0-9]{2})$"));
    const QRegularExpressionMatch match = special.match(text);
    if (match.hasMatch() && match.captured(1).toInt() > 0)
        return Target{0, match.captured(1).toInt()};
    const int day = Days::codeOf(text);
    if (day < 0)
        return std::nullopt;
    return Target{day, 0};
}

QList<Bell> BellTimes(const QList<Period>& periods, int preBell, const Tunes& tunes)
{
    QMap<int, Bell> byMinute;
    const auto ring = [&](int minute, Kind kind, int tune) {
        const auto there = byMinute.constFind(minute);
        if (minute >= 0 && (there == byMinute.cend() || there->kind < kind))
            byMinute.insert(minute, Bell{minute, tune, kind});
    };
    for (const Period& period : periods) {
        ring(period.start, Kind::Start, tunes.start);
        ring(period.end, Kind::End, tunes.end);
        if (preBell > 0)
            ring(period.start - preBell, Kind::PreBell, tunes.preBell);
    }
    return byMinute.values();
}

Plan PlanBells(ScheduleDocument& document, const Request& request)
{
    const QSet<int> held = heldTimes(document, request.circuit, request.target.special);
    const QList<int> days = daysOf(request.target);
    Plan plan;
    for (const Bell& bell : BellTimes(request.periods, request.preBell, request.tunes.value_or(Tunes{}))) {
        PlannedBell planned{bell, {}, 0};
        for (const int day : days) {
            if (held.contains(day * kMinutesPerDay + bell.minute))
                ++planned.heldDays;
            else
                planned.newDays << day;
        }
        plan.needed += int(planned.newDays.size());
        plan.skipped += planned.heldDays;
        plan.bells << planned;
    }
    plan.remaining = RemainingWeekCapacity(document);
    return plan;
}

Result AddBells(ScheduleDocument& document, const Request& request)
{
    if (std::optional<Result> refusal = checkCircuit(document, request))
        return *refusal;
    const bool chime = document.circuit(request.circuit).Program == TypeChime;
    Transaction transaction(document);
    const Plan plan = PlanBells(document, request);
    Result result;
    result.needed = plan.needed;
    result.skipped = plan.skipped;
    for (const PlannedBell& planned : plan.bells)
        ++(planned.newDays.isEmpty() ? result.skippedBells : result.addedBells);
    result.remaining = plan.remaining;
    if (!plan.fits()) {
        result.outcome = Outcome::OverCapacity;
        return result;
    }
    for (const PlannedBell& planned : plan.bells) {
        for (const int day : planned.newDays) {
            WeekRow row;
            row.CircuitNO = request.circuit;
            row.SpecialNO = request.target.special;
            row.YobiON = day;
            row.TimeONH = planned.bell.minute / 60;
            row.TimeONM = planned.bell.minute % 60;
            row.ChimeNO = chime ? planned.bell.tune : 0;
            ScheduleModel::addWeekRow(document, row);
        }
    }
    ScheduleModel::renumberWeekRows(document);
    transaction.commit();
    result.outcome = Outcome::Added;
    result.added = plan.needed;
    return result;
}

}  // namespace Bells
