#include "week/WeekEditing.h"

#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "store/WeekPrograms.h"
#include "week/Days.h"

#include <set>

using ScheduleModel::WeekMatch;
using ScheduleModel::WeekSort;

namespace {

constexpr int kDaySeconds = 24 * 60 * 60;

// The rows a write reuses, in the order they are reused.
struct Reused {
    WeekMatch match;
    WeekSort sort = WeekSort::Stored;
};

Reused rowWithId(int id)
{
    WeekMatch match;
    match.ID = id;
    return {match, WeekSort::Stored};
}

// The request's circuit and special number, in the request's group.
WeekMatch programsOf(const EntryJob& request)
{
    WeekMatch match;
    match.CircuitNO = request.row.CircuitNO;
    match.SpecialNO = request.row.SpecialNO;
    match.weekdaysOnly = request.row.YobiON == Days::Weekdays;
    return match;
}

// The days a job writes: its own day, or the days of a group. A special
// program is one row.
QList<int> daysOf(const EntryJob& request)
{
    return request.fromWeekList() ? Days::range(request.row.YobiON) : QList<int>{0};
}

Reused timeProgramSelection(const EntryJob& request, int type, const WeekEditing::TimeProgram& p)
{
    const WeekRow& r = request.row;
    const bool chime = type == TypeChime;
    WeekMatch match = programsOf(request);
    if (!Days::isGroup(r.YobiON)) {
        if (r.ID != 0)
            return rowWithId(r.ID);
        match.TimeONH = p.hour;
        match.TimeONM = p.minute;
        match.TimeONS = p.second;
        match.YobiON = r.YobiON;
        if (chime)
            match.ChimeNO = p.chime;
        else
            match.TimeOFFH = r.TimeOFFH;
        return {match, WeekSort::TimeThenDay};
    }
    const bool isNew = !request.isChange();
    match.TimeONH = isNew ? p.hour : r.TimeONH;
    match.TimeONM = isNew ? p.minute : r.TimeONM;
    if (!chime)
        return {match, WeekSort::MinuteThenDay};
    match.TimeONS = isNew ? p.second : r.TimeONS;
    match.ChimeNO = isNew ? p.chime : r.ChimeNO;
    return {match, WeekSort::TimeThenDay};
}

Reused timerProgramSelection(const EntryJob& request, const WeekEditing::TimerProgram& p)
{
    const WeekRow& r = request.row;
    WeekMatch match = programsOf(request);
    const bool boxes = !Days::isGroup(r.YobiON) || !request.isChange();
    if (!Days::isGroup(r.YobiON)) {
        if (r.ID != 0)
            return rowWithId(r.ID);
        match.YobiON = r.YobiON;
        match.YobiOFF = p.endDay;
    }
    match.Repeat = boxes ? p.repeat : r.Repeat;
    match.TimeONH = boxes ? p.onH : r.TimeONH;
    match.TimeONM = boxes ? p.onM : r.TimeONM;
    match.TimeOFFH = boxes ? p.offH : r.TimeOFFH;
    match.TimeOFFM = boxes ? p.offM : r.TimeOFFM;
    return {match, WeekSort::MinuteDayRepeat};
}

WeekEditing::WriteResult write(ScheduleDocument& document, const Reused& reused, ScheduleModel::WeekColumns columns,
                               const QList<WeekRow>& rows)
{
    Transaction transaction(document);
    const bool written = ScheduleModel::writeWeekRows(document, reused.match, reused.sort, columns, rows);
    if (written)
        ScheduleModel::renumberWeekRows(document);
    transaction.commit();
    return written ? WeekEditing::WriteResult::Written : WeekEditing::WriteResult::Refused;
}

}  // namespace

namespace WeekEditing {

int MelodyLength(int melody)
{
    static const int lengths[] = {24, 37, 41, 55, 40, 39, 74};
    return melody >= 1 && melody <= 7 ? lengths[melody - 1] : 0;
}

TimeOfDay AdjustChimeEnd(TimeOfDay time, int melody, bool adjusted)
{
    const int length = MelodyLength(melody);
    const int t = time.hour * 3600 + time.minute * 60 + time.second;
    int result;
    if (adjusted)
        result = t < length ? t + kDaySeconds - length : t - length;
    else
        result = (t + length) % kDaySeconds;
    return TimeOfDay{result / 3600, result / 60 % 60, result % 60};
}

int GroupEndDay(int day, int onH, int onM, int offH, int offM)
{
    const bool pastMidnight = onH * 100 + onM > offH * 100 + offM;
    return pastMidnight ? (day + 1) % 7 : day;
}

WriteResult WriteTimeProgram(ScheduleDocument& document, const EntryJob& request, int programType,
                             const TimeProgram& program)
{
    QList<WeekRow> rows;
    for (const int day : daysOf(request)) {
        WeekRow row;
        row.CircuitNO = request.row.CircuitNO;
        row.SpecialNO = request.fromWeekList() ? 0 : request.row.SpecialNO;
        row.YobiON = day;
        row.TimeONH = program.hour;
        row.TimeONM = program.minute;
        row.TimeONS = program.second;
        row.ChimeNO = programType == TypeChime ? program.chime : 0;
        rows << row;
    }
    return write(document, timeProgramSelection(request, programType, program), ScheduleModel::WeekColumns::Time, rows);
}

WriteResult WriteTimerProgram(ScheduleDocument& document, const EntryJob& request, const TimerProgram& program)
{
    const bool week = request.fromWeekList();
    const bool group = Days::isGroup(request.row.YobiON);
    QList<WeekRow> rows;
    for (const int day : daysOf(request)) {
        WeekRow row;
        row.CircuitNO = request.row.CircuitNO;
        row.SpecialNO = week ? 0 : request.row.SpecialNO;
        row.Repeat = week ? program.repeat : 0;
        row.YobiON = day;
        if (week)
            row.YobiOFF =
                group ? GroupEndDay(day, program.onH, program.onM, program.offH, program.offM) : program.endDay;
        row.TimeONH = program.onH;
        row.TimeONM = program.onM;
        row.TimeOFFH = program.offH;
        row.TimeOFFM = program.offM;
        rows << row;
    }
    return write(document, timerProgramSelection(request, program), ScheduleModel::WeekColumns::Period, rows);
}

void DeleteWeekProgram(ScheduleDocument& document, const EntryJob& request, int day)
{
    const WeekRow& r = request.row;
    WeekMatch match;
    if (!Days::isGroup(day)) {
        match.ID = r.ID;
    } else {
        match.CircuitNO = r.CircuitNO;
        match.SpecialNO = 0;
        match.Repeat = r.Repeat;
        match.ChimeNO = r.ChimeNO;
        match.TimeONH = r.TimeONH;
        match.TimeONM = r.TimeONM;
        match.TimeONS = r.TimeONS;
        match.TimeOFFH = r.TimeOFFH;
        match.TimeOFFM = r.TimeOFFM;
        match.weekdaysOnly = day == Days::Weekdays;
    }
    ScheduleModel::deleteWeekRows(document, match);
}

int DeleteAllWeekPrograms(ScheduleDocument& document, int circuit)
{
    WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = 0;
    return ScheduleModel::deleteWeekRows(document, match);
}

QList<int> CopySourceDays(ScheduleDocument& document, int circuit, int exceptDay)
{
    WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = 0;
    std::set<int> days;
    for (const WeekRow& row : ScheduleModel::weekRowsMatching(document, match, WeekSort::Stored))
        if (row.YobiON != exceptDay)
            days.insert(row.YobiON);
    return QList<int>(days.begin(), days.end());
}

QList<int> CopySourceSpecials(ScheduleDocument& document, int circuit, int exceptSpecial)
{
    QList<int> specials = ScheduleModel::specialNumbersInUse(document, circuit);
    specials.removeAll(exceptSpecial);
    return specials;
}

CopyResult CopyPrograms(ScheduleDocument& document, int circuit, const CopySource& source, const CopyTarget& target)
{
    WeekMatch from;
    from.CircuitNO = circuit;
    from.SpecialNO = source.special ? source.value : 0;
    if (!source.special)
        from.YobiON = source.value;
    // Read the sources in full before the rows change.
    const QList<WeekRow> sources = ScheduleModel::weekRowsMatching(document, from, WeekSort::Times);
    const int targetDay = target.special == 0 ? target.day : 0;
    CopyResult result;
    Transaction transaction(document);
    int handled = 0;
    for (const WeekRow& sourceRow : sources) {
        WeekRow copy;
        copy.CircuitNO = circuit;
        copy.YobiON = targetDay;
        copy.SpecialNO = target.special;
        copy.TimeONH = sourceRow.TimeONH;
        copy.TimeONM = sourceRow.TimeONM;
        copy.TimeONS = sourceRow.TimeONS;
        copy.TimeOFFH = sourceRow.TimeOFFH;
        copy.TimeOFFM = sourceRow.TimeOFFM;
        copy.ChimeNO = sourceRow.ChimeNO;
        WeekMatch same;
        same.CircuitNO = circuit;
        same.YobiON = targetDay;
        same.SpecialNO = target.special;
        same.TimeONH = copy.TimeONH;
        same.TimeONM = copy.TimeONM;
        same.TimeONS = copy.TimeONS;
        same.TimeOFFH = copy.TimeOFFH;
        same.TimeOFFM = copy.TimeOFFM;
        if (!ScheduleModel::hasWeekRow(document, same)) {
            if (WeekCapacityExceeded(document, 1)) {
                result.capacityReached = true;
                result.stoppedAtFirstRow = handled == 0;
                break;
            }
            ScheduleModel::addWeekRow(document, copy);
            ++result.added;
        }
        ++handled;
    }
    ScheduleModel::renumberWeekRows(document);
    transaction.commit();
    return result;
}

QString StepName(const QString& change, int circuit, int special)
{
    if (special == 0)
        return QStringLiteral("週間プログラムの%1（回路%2）").arg(change).arg(circuit);
    return QStringLiteral("特殊プログラムの%1（回路%2・特殊番号%3）").arg(change).arg(circuit).arg(special);
}

QString EntryStepName(const EntryJob& request)
{
    return StepName(request.isChange() ? QStringLiteral("変更") : QStringLiteral("追加"), request.row.CircuitNO,
                    request.row.SpecialNO);
}

}  // namespace WeekEditing
