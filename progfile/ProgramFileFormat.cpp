#include "progfile/ProgramFileFormat.h"

#include "core/Dates.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"

namespace ProgramFileFormat {

namespace {

// A record line under construction: 30 spaces, filled field by field.
class LineBuilder
{
public:
    LineBuilder()
        : m_line(LineLength, ' ')
    {
    }

    void put(int position, char c) { m_line[position - 1] = c; }

    // N(x): the digits, no padding.
    void digits(int position, int width, int value) { place(position, width, value, '\0'); }
    // R(x): right-aligned, space-padded.
    void spaced(int position, int width, int value) { place(position, width, value, ' '); }
    // Z(x): zero-padded.
    void zeroed(int position, int width, int value) { place(position, width, value, '0'); }

    QByteArray line() const { return m_line; }

private:
    void place(int position, int width, int value, char pad)
    {
        QByteArray text = QByteArray::number(value);
        if (value < 0 || text.size() > width || (pad == '\0' && text.size() != width))
            throw StoreError(
                QStringLiteral("Stored value %1 does not fit the program file (position %2)").arg(value).arg(position));
        if (pad != '\0')
            text = text.rightJustified(width, pad);
        m_line.replace(position - 1, width, text);
    }

    QByteArray m_line;
};

bool hasEndTime(int program)
{
    return program == TypeTimer || program == TypeRepeat;
}

void putHead(LineBuilder& line, char recordType, const CircuitType& circuit, int circuitNO)
{
    line.put(1, recordType);
    line.digits(2, 1, circuit.Program);
    line.digits(3, 1, circuitNO);
    line.zeroed(10, 2, circuit.PulseTime);
}

QByteArray yearLineOf(const YearRow& row, const CircuitType& circuit, bool dated)
{
    LineBuilder line;
    putHead(line, '3', circuit, row.CircuitNO);
    line.spaced(4, 2, row.SpecialNO);
    if (dated)
        line.zeroed(25, 2, row.Year);
    line.zeroed(27, 2, row.Month);
    line.zeroed(29, 2, row.Day);
    return line.line();
}

// --- reading -------------------------------------------------------------

bool isBlank(const QByteArray& line, int position, int width)
{
    for (int i = position - 1; i < position - 1 + width; ++i)
        if (line[i] != ' ')
            return false;
    return true;
}

// The number in a field of digits and spaces (blank = 0); -1 when another
// character is there.
int numberAt(const QByteArray& line, int position, int width)
{
    int value = 0;
    for (int i = position - 1; i < position - 1 + width; ++i) {
        const char c = line[i];
        if (c == ' ')
            continue;
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A single digit, never blank; -1 otherwise.
int digitAt(const QByteArray& line, int position)
{
    const char c = line[position - 1];
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

bool inRange(int value, int lo, int hi)
{
    return value >= lo && value <= hi;
}

// Reads a field into `target`; false when it is not a number in lo..hi.
bool field(const QByteArray& line, int position, int width, int lo, int hi, int& target)
{
    target = numberAt(line, position, width);
    return inRange(target, lo, hi);
}

bool parseWeekFields(const QByteArray& line, ProgramLine& parsed)
{
    WeekRow& row = parsed.week;
    row.CircuitNO = digitAt(line, 3);
    if (parsed.kind == LineKind::Special && !field(line, 4, 2, 1, 99, row.SpecialNO))
        return false;
    // A repeat program repeats every 1..59 minutes; other types leave the field unused.
    const int leastRepeat = parsed.Program == TypeRepeat ? 1 : 0;
    return field(line, 6, 1, 0, 6, row.YobiON) && field(line, 7, 1, 0, 6, row.YobiOFF)
        && field(line, 8, 2, leastRepeat, 59, row.Repeat) && field(line, 12, 1, 0, 7, row.ChimeNO)
        && field(line, 13, 2, 0, 23, row.TimeONH) && field(line, 15, 2, 0, 59, row.TimeONM)
        && field(line, 17, 2, 0, 59, row.TimeONS) && field(line, 19, 2, 0, 23, row.TimeOFFH)
        && field(line, 21, 2, 0, 59, row.TimeOFFM);
}

// An every-year line leaves Year at 0, so its date is checked in the leap
// year 2000: 02-29 exists, 02-30 and 04-31 do not.
bool isRealDate(const YearRow& row)
{
    return IsRealDate(row.Year, row.Month, row.Day);
}

bool parseYearFields(const QByteArray& line, ProgramLine& parsed)
{
    YearRow& row = parsed.year;
    row.CircuitNO = digitAt(line, 3);
    if (parsed.kind == LineKind::Dated && !field(line, 25, 2, 0, 99, row.Year))
        return false;
    return field(line, 4, 2, 0, 99, row.SpecialNO) && field(line, 27, 2, 1, 12, row.Month)
        && field(line, 29, 2, 1, 31, row.Day) && isRealDate(row);
}

}  // namespace

QByteArray weekLine(const WeekRow& row, const CircuitType& circuit)
{
    const bool special = row.SpecialNO != 0;
    LineBuilder line;
    putHead(line, special ? '2' : '1', circuit, row.CircuitNO);
    if (special) {
        line.spaced(4, 2, row.SpecialNO);
    } else {
        line.digits(6, 1, row.YobiON);
        if (hasEndTime(circuit.Program))
            line.digits(7, 1, row.YobiOFF);
    }
    if (circuit.Program == TypeRepeat)
        line.zeroed(8, 2, row.Repeat);
    if (row.ChimeNO != 0)
        line.digits(12, 1, row.ChimeNO);
    line.spaced(13, 2, row.TimeONH);
    line.zeroed(15, 2, row.TimeONM);
    line.zeroed(17, 2, row.TimeONS);
    if (hasEndTime(circuit.Program)) {
        line.spaced(19, 2, row.TimeOFFH);
        line.zeroed(21, 2, row.TimeOFFM);
        line.zeroed(23, 2, 0);
    }
    return line.line();
}

QByteArray yearLine(const YearRow& row, const CircuitType& circuit)
{
    return yearLineOf(row, circuit, true);
}

QByteArray everyYearLine(const YearRow& row, const CircuitType& circuit)
{
    return yearLineOf(row, circuit, false);
}

QByteArray trailerLine(const FileCheckSum& sum)
{
    return '*' + sum.hexDigits() + LineEnd;
}

bool IsValidProgramLine(const QByteArray& line)
{
    if (line.size() != LineLength)
        return false;
    if (!inRange(digitAt(line, 1), 1, 3) || !inRange(digitAt(line, 2), TypeTimeSignal, TypeRepeat)
        || !inRange(digitAt(line, 3), 1, 8))
        return false;
    if (line[0] == '3')
        return true;
    if (isBlank(line, 10, 2))
        return false;
    const int pulse = numberAt(line, 10, 2);
    const bool timer = digitAt(line, 2) == TypeTimer;
    return inRange(pulse, timer ? 0 : 1, 59);
}

std::optional<ProgramLine> parseProgramLine(const QByteArray& line)
{
    if (!IsValidProgramLine(line))
        return std::nullopt;
    ProgramLine parsed;
    parsed.Program = digitAt(line, 2);
    if (!isBlank(line, 10, 2)) {
        parsed.PulseTime = numberAt(line, 10, 2);
        if (!inRange(parsed.PulseTime, 0, 59))
            return std::nullopt;
    }
    switch (line[0]) {
    case '1':
    case '2':
        parsed.kind = line[0] == '1' ? LineKind::Week : LineKind::Special;
        if (!parseWeekFields(line, parsed))
            return std::nullopt;
        break;
    default:
        parsed.kind = isBlank(line, 25, 2) ? LineKind::EveryYear : LineKind::Dated;
        if (!parseYearFields(line, parsed))
            return std::nullopt;
        break;
    }
    return parsed;
}

}  // namespace ProgramFileFormat
