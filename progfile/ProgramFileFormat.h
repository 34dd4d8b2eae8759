#pragma once
#include "core/platform/Platform.h"
#include "progfile/Checksum.h"
#include "store/StoreRoutines.h"
#include "store/WeekRow.h"
#include "store/YearRow.h"

#include <QByteArray>
#include <optional>
#include <stdexcept>

// The device program file: fixed 30-byte record lines ended by CR LF, then
// a trailer "*" + two hexadecimal digits of the XOR of every byte before it.

// A program file that cannot be read or written (missing, unreadable,
// folder not writable). Shown in the "エラー" box.
class ProgramFileError : public FileError
{
public:
    using FileError::FileError;
};

namespace ProgramFileFormat {

constexpr int LineLength = 30;
constexpr char LineEnd[] = "\r\n";

// The most every-year lines a file can hold: one per circuit and day of the
// year, as the editor keeps at most one every-year entry per circuit and date.
constexpr int EveryYearLineLimit = 8 * 366;
// The largest file the editor writes: every kind of line at its limit, then
// the trailer. Anything larger is refused before it is read.
constexpr qint64 MaxFileSize = qint64(WeekCapacity + YearCapacity + EveryYearLineLimit) * (LineLength + 2) + 5;

// What a line carries of its circuit's settings.
struct CircuitType {
    int Program = 0;
    int PulseTime = 0;
};

// Record lines without their line end. Throw StoreError when a stored value
// does not fit its field, so that no malformed line is ever written.
QByteArray weekLine(const WeekRow& row, const CircuitType& circuit);
QByteArray yearLine(const YearRow& row, const CircuitType& circuit);
QByteArray everyYearLine(const YearRow& row, const CircuitType& circuit);
// "*" + the two digits + CR LF.
QByteArray trailerLine(const FileCheckSum& sum);

enum class LineKind { Week, Special, Dated, EveryYear };

// A record line as the reader imports it.
struct ProgramLine {
    LineKind kind = LineKind::Week;
    int Program = 0;
    int PulseTime = -1;  // -1: the field is blank
    WeekRow week;        // Week and Special lines
    YearRow year;        // Dated and EveryYear lines
    int lineNumber = 0;  // 1-based, in the file it was read from
};

// The device's own acceptance test of a record line: length, record type,
// program type, circuit and, on week and special lines, the pulse time.
bool IsValidProgramLine(const QByteArray& line);

// IsValidProgramLine, and every field the import reads is a number (blank =
// 0) the editor can enter: within its range, a repeat interval of at least one
// minute, a date that exists. nullopt when the line is refused.
std::optional<ProgramLine> parseProgramLine(const QByteArray& line);

}  // namespace ProgramFileFormat
