#include "progfile/ProgramFileReader.h"

#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/StoreRoutines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

using namespace ProgramFileFormat;

namespace ProgramFileReader {

namespace {

void countLine(LineCounts& counts, LineKind kind)
{
    switch (kind) {
    case LineKind::Week:
    case LineKind::Special:
        ++counts.week;
        break;
    case LineKind::Dated:
        ++counts.dated;
        break;
    case LineKind::EveryYear:
        ++counts.everyYear;
        break;
    }
}

bool overCapacity(const LineCounts& counts)
{
    return counts.week > WeekCapacity || counts.dated > YearCapacity || counts.everyYear > EveryYearLineLimit;
}

int circuitOf(const ProgramLine& line)
{
    return line.kind == LineKind::Week || line.kind == LineKind::Special ? line.week.CircuitNO : line.year.CircuitNO;
}

// The editor writes all lines of a circuit with the circuit's one program
// type. A line of another type would turn the circuit's other programs into
// programs of that type (a time signal into a six-day timer): it is refused.
bool changesCircuitType(std::array<int, 9>& programs, const ProgramLine& line)
{
    int& program = programs[circuitOf(line)];
    if (program == TypeNone)
        program = line.Program;
    return program != line.Program;
}

// The last non-blank pulse of a circuit decides its pulse time. A year line
// with "00" after the week lines of a type that needs 1..59 seconds would
// leave those programs at 0 seconds: the editor could not write them back in
// a readable form. Returns the deciding line of the first such circuit, 0
// when there is none.
int contradictingLine(const std::vector<ProgramLine>& lines)
{
    std::array<bool, 9> hasWeekLines{};
    std::array<int, 9> program{};
    std::array<int, 9> pulse{};
    std::array<int, 9> pulseLine{};
    for (const ProgramLine& line : lines) {
        const int circuit = circuitOf(line);
        if (line.kind == LineKind::Week || line.kind == LineKind::Special)
            hasWeekLines[circuit] = true;
        program[circuit] = line.Program;
        if (line.PulseTime >= 0) {
            pulse[circuit] = line.PulseTime;
            pulseLine[circuit] = line.lineNumber;
        }
    }
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (hasWeekLines[circuit] && program[circuit] != TypeTimer && pulse[circuit] == 0)
            return pulseLine[circuit];
    return 0;
}

// The writer leaves a field of a week or special line blank when the
// circuit's program type does not use it. Such fields are stored as 0, so
// that the store sorts a file's lines as it sorts their rewritten form:
// normalizing twice gives what once gave.
void dropUnwrittenFields(std::vector<ProgramLine>& lines)
{
    for (ProgramLine& line : lines) {
        if (line.kind != LineKind::Week && line.kind != LineKind::Special)
            continue;
        WeekRow& row = line.week;
        const bool endTime = line.Program == TypeTimer || line.Program == TypeRepeat;
        if (line.kind == LineKind::Special)
            row.YobiON = 0;
        if (line.kind == LineKind::Special || !endTime)
            row.YobiOFF = 0;
        if (!endTime) {
            row.TimeOFFH = 0;
            row.TimeOFFM = 0;
        }
        if (line.Program != TypeRepeat)
            row.Repeat = 0;
    }
}

// The store's sort order (the order RenumberTable gives), equal rows kept in
// file order. Inserting in this order with IDs 1..n leaves nothing to
// renumber; a test checks that RenumberTable then changes no ID.
bool weekBefore(const ProgramLine& a, const ProgramLine& b)
{
    const WeekRow& x = a.week;
    const WeekRow& y = b.week;
    const int xSpecial = a.kind == LineKind::Week ? 0 : x.SpecialNO;
    const int ySpecial = b.kind == LineKind::Week ? 0 : y.SpecialNO;
    return std::tie(x.CircuitNO, xSpecial, x.YobiON, x.YobiOFF, x.TimeONH, x.TimeONM, x.TimeONS, x.TimeOFFH, x.TimeOFFM,
                    x.Repeat, x.ChimeNO)
        < std::tie(y.CircuitNO, ySpecial, y.YobiON, y.YobiOFF, y.TimeONH, y.TimeONM, y.TimeONS, y.TimeOFFH, y.TimeOFFM,
                   y.Repeat, y.ChimeNO);
}

bool datedBefore(const ProgramLine& a, const ProgramLine& b)
{
    return std::tie(a.year.CircuitNO, a.year.Year, a.year.Month, a.year.Day)
        < std::tie(b.year.CircuitNO, b.year.Year, b.year.Month, b.year.Day);
}

bool everyYearBefore(const ProgramLine& a, const ProgramLine& b)
{
    return std::tie(a.year.CircuitNO, a.year.Month, a.year.Day) < std::tie(b.year.CircuitNO, b.year.Month, b.year.Day);
}

struct SortedLines {
    std::vector<const ProgramLine*> week;
    std::vector<const ProgramLine*> dated;
    std::vector<const ProgramLine*> everyYear;
};

SortedLines sortForStore(const std::vector<ProgramLine>& lines)
{
    SortedLines sorted;
    for (const ProgramLine& line : lines) {
        if (line.kind == LineKind::Dated)
            sorted.dated.push_back(&line);
        else if (line.kind == LineKind::EveryYear)
            sorted.everyYear.push_back(&line);
        else
            sorted.week.push_back(&line);
    }
    const auto by = [](bool (*before)(const ProgramLine&, const ProgramLine&)) {
        return [before](const ProgramLine* a, const ProgramLine* b) { return before(*a, *b); };
    };
    std::stable_sort(sorted.week.begin(), sorted.week.end(), by(weekBefore));
    std::stable_sort(sorted.dated.begin(), sorted.dated.end(), by(datedBefore));
    std::stable_sort(sorted.everyYear.begin(), sorted.everyYear.end(), by(everyYearBefore));
    return sorted;
}

// All lines of a circuit carry its program type; the last non-blank pulse
// decides its pulse time.
void importLines(ScheduleDocument& document, const std::vector<ProgramLine>& lines)
{
    ScheduleModel::Content content;
    for (const ProgramLine& line : lines) {
        const int circuit = circuitOf(line);
        content.program[circuit] = line.Program;
        if (line.PulseTime >= 0)
            content.pulseTime[circuit] = line.PulseTime;
    }
    const SortedLines sorted = sortForStore(lines);
    content.week.reserve(qsizetype(sorted.week.size()));
    for (const ProgramLine* line : sorted.week) {
        WeekRow row = line->week;
        if (line->kind == LineKind::Week)
            row.SpecialNO = 0;
        content.week << row;
    }
    for (const ProgramLine* line : sorted.dated)
        content.dated << line->year;
    for (const ProgramLine* line : sorted.everyYear)
        content.everyYear << line->year;
    ScheduleModel::replaceWith(document, content);
}

// Nothing of a refused content is kept; the counts so far stay for the message.
ParsedFile refuse(ParsedFile& parsed, ReadStatus status, int refusedLine)
{
    parsed.verdict.status = status;
    parsed.verdict.refusedLine = refusedLine;
    parsed.lines.clear();
    return parsed;
}

}  // namespace

ParsedFile parseContent(const QByteArray& content)
{
    ParsedFile parsed;
    if (content.size() > MaxFileSize) {
        parsed.verdict.status = ReadStatus::OverCapacity;
        parsed.verdict.tooLarge = true;
        return parsed;
    }
    FileCheckSum sum;
    std::array<int, 9> programs{};
    int lineNumber = 0;
    qsizetype start = 0;
    // A line ends at CR LF; bytes after the last CR LF form a last line.
    while (start < content.size()) {
        qsizetype end = content.indexOf(LineEnd, start);
        if (end < 0)
            end = content.size();
        const QByteArray line = content.mid(start, end - start);
        start = end + 2;
        ++lineNumber;

        if (line.startsWith('*')) {
            // Upper case only, as the editor and the time switch write it.
            if (line.mid(1, 2) != sum.hexDigits())
                return refuse(parsed, ReadStatus::Invalid, lineNumber);
            continue;
        }
        const std::optional<ProgramLine> program = parseProgramLine(line);
        if (!program || changesCircuitType(programs, *program))
            return refuse(parsed, ReadStatus::Invalid, lineNumber);
        sum.fold(line);
        sum.fold(LineEnd, 2);
        countLine(parsed.verdict.counts, program->kind);
        if (overCapacity(parsed.verdict.counts))
            return refuse(parsed, ReadStatus::OverCapacity, 0);
        parsed.lines.push_back(*program);
        parsed.lines.back().lineNumber = lineNumber;
    }
    if (const int contradiction = contradictingLine(parsed.lines))
        return refuse(parsed, ReadStatus::Invalid, contradiction);
    dropUnwrittenFields(parsed.lines);
    return parsed;
}

ParsedFile parseProgramFile(const QString& path)
{
    const Platform::ReadFile file = Platform::readRegularFile(path, MaxFileSize);
    ParsedFile parsed;
    if (file.size > MaxFileSize) {
        parsed.verdict.status = ReadStatus::OverCapacity;
        parsed.verdict.tooLarge = true;
    } else {
        parsed = parseContent(file.bytes);
    }
    parsed.verdict.lastModified = file.lastModified;
    parsed.verdict.stamp = file.stamp;
    return parsed;
}

ReadResult importParsed(ScheduleDocument& document, const ParsedFile& parsed)
{
    if (parsed.verdict.status == ReadStatus::Accepted)
        importLines(document, parsed.lines);
    return parsed.verdict;
}

ReadResult importContent(ScheduleDocument& document, const QByteArray& content)
{
    return importParsed(document, parseContent(content));
}

ReadResult ReadProgramFile(ScheduleDocument& document, const QString& path)
{
    return importParsed(document, parseProgramFile(path));
}

QString timeStampText(const QDateTime& lastModified)
{
    return QLatin1Char(' ') + lastModified.toString(QStringLiteral("yyyy/MM/dd HH:mm.ss"));
}

QString messageText(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Accepted:
        return QStringLiteral("プログラムファイルを読み込みました。");
    case ReadStatus::Invalid:
        return QStringLiteral("データが不正です。読み込みできません。");
    case ReadStatus::OverCapacity:
        break;
    }
    return QStringLiteral("設定可能プログラム数を超えたため、読み込みできませんでした。\r\n"
                          "本体のバージョンが新しいため、本ソフトウェアのバージョンアップが必要です。\r\n"
                          "最新プログラムは弊社ホームページより入手できます。");
}

QString messageLine(ReadStatus status)
{
    return messageText(status).remove(QStringLiteral("\r\n"));
}

QString detailText(const ReadResult& result)
{
    if (result.status == ReadStatus::Invalid)
        return QStringLiteral("%1 行目が不正です。").arg(result.refusedLine);
    if (result.tooLarge)
        return QStringLiteral("ファイルが大きすぎます（上限 %1 バイト）。").arg(MaxFileSize);
    return QString();
}

QString refusalLine(const ReadResult& result)
{
    const QString detail = detailText(result);
    return detail.isEmpty() ? messageLine(result.status) : messageLine(result.status) + QLatin1Char(' ') + detail;
}

int exitStatusOf(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Accepted:
        return 0;
    case ReadStatus::Invalid:
        return 1;
    case ReadStatus::OverCapacity:
        break;
    }
    return 2;
}

}  // namespace ProgramFileReader
