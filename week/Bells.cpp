#include "week/Bells.h"

#include "store/ProgramStore.h"
#include "store/ProgramTypes.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Days.h"

#include <QMap>
#include <QRegularExpression>

namespace {

// Start bells beat pre-bells, which beat end bells, on one minute.
enum Rank { EndBell = 1, PreBell = 2, StartBell = 3 };

std::optional<int> minuteOfDay(const QString& text)
{
    static const QRegularExpression time(QStringLiteral("^([01]?[0-9]|2[0-3]):([0-5][0-9])$"));
    const QRegularExpressionMatch match = time.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() * 60 + match.captured(2).toInt();
}

std::optional<Bells::Period> period(const QString& text)
{
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2)
        return std::nullopt;
    const std::optional<int> start = minuteOfDay(ends[0]);
    const std::optional<int> end = minuteOfDay(ends[1]);
    if (!start || !end || *end <= *start)
        return std::nullopt;
    return Bells::Period{*start, *end};
}

// The days a target writes a row on; a special program has day 0.
QList<int> daysOf(const Bells::Target& target)
{
    return target.special > 0 ? QList<int>{0} : Days::range(target.day);
}

bool timeHeld(int circuit, int special, int day, int minute)
{
    return ProgramStore::exec(QStringLiteral("SELECT 1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ? "
                                             "AND YobiON = ? AND TimeONH = ? AND TimeONM = ? AND TimeONS = 0 "
                                             "LIMIT 1"),
                              {circuit, special, day, minute / 60, minute % 60})
        .next();
}

Bells::Result refused(const QString& reason)
{
    Bells::Result result;
    result.reason = reason;
    return result;
}

std::optional<Bells::Result> checkCircuit(const Bells::Request& request)
{
    const int type = CircuitSettingAt(request.circuit).Program;
    if (type != TypeTimeSignal && type != TypeChime)
        return refused(QStringLiteral("回路 %1 は報時・チャイムの回路ではありません。").arg(request.circuit));
    if (type == TypeTimeSignal && request.tunes)
        return refused(QStringLiteral("報時の回路には曲を指定できません。"));
    return std::nullopt;
}

}  // namespace

namespace Bells {

std::optional<QList<Period>> parsePeriods(const QString& text)
{
    QList<Period> periods;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const std::optional<Period> next = period(part);
        if (!next || (!periods.isEmpty() && next->start < periods.constLast().end))
            return std::nullopt;
        periods << *next;
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
    QMap<int, std::pair<int, int>> byMinute;  // minute -> rank, tune
    const auto ring = [&](int minute, Rank rank, int tune) {
        if (minute >= 0 && byMinute.value(minute).first < rank)
            byMinute.insert(minute, {rank, tune});
    };
    for (const Period& period : periods) {
        ring(period.start, StartBell, tunes.start);
        ring(period.end, EndBell, tunes.end);
        if (preBell > 0)
            ring(period.start - preBell, PreBell, tunes.preBell);
    }
    QList<Bell> bells;
    for (auto it = byMinute.cbegin(); it != byMinute.cend(); ++it)
        bells << Bell{it.key(), it.value().second};
    return bells;
}

Result AddBells(const Request& request)
{
    if (std::optional<Result> refusal = checkCircuit(request))
        return *refusal;
    const bool chime = CircuitSettingAt(request.circuit).Program == TypeChime;
    const QList<Bell> bells = BellTimes(request.periods, request.preBell, request.tunes.value_or(Tunes{}));
    const int special = request.target.special;
    Result result;
    Transaction transaction(StoreChanges::WeekAndSpecial, request.circuit);
    QList<QVariantList> rows;
    for (const int day : daysOf(request.target)) {
        for (const Bell& bell : bells) {
            if (timeHeld(request.circuit, special, day, bell.minute))
                ++result.skipped;
            else
                rows << QVariantList{request.circuit,  special,          day,
                                     bell.minute / 60, bell.minute % 60, chime ? bell.tune : 0};
        }
    }
    result.needed = int(rows.size());
    result.remaining = RemainingWeekCapacity();
    if (result.needed > result.remaining) {
        result.outcome = Outcome::OverCapacity;
        return result;
    }
    for (const QVariantList& row : rows)
        ProgramStore::exec(QStringLiteral("INSERT INTO T_Week (CircuitNO, SpecialNO, YobiON, TimeONH, TimeONM, "
                                          "TimeONS, ChimeNO) VALUES (?, ?, ?, ?, ?, 0, ?)"),
                           row);
    RenumberTable(QStringLiteral("T_Week"));
    transaction.commit();
    result.outcome = Outcome::Added;
    result.added = result.needed;
    return result;
}

}  // namespace Bells
