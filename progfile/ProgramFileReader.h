#pragma once
#include "progfile/ProgramFileFormat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

class ScheduleDocument;

namespace ProgramFileReader {

enum class ReadStatus {
    Accepted,      // every line is good (and, once imported, in the store)
    Invalid,       // a refused line or checksum; nothing changed
    OverCapacity,  // valid, but more programs than the store may hold; nothing changed
};

struct LineCounts {
    int week = 0;  // week and special lines
    int dated = 0;
    int everyYear = 0;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Accepted;
    LineCounts counts;
    int refusedLine = 0;        // 1-based line number of the refused line, 0 when none
    bool tooLarge = false;      // larger than MaxFileSize: refused unread
    QDateTime lastModified;     // of the file, when read from a file
    Platform::FileStamp stamp;  // of the file as read
};

// A program file read into memory, the store untouched: the verdict on the
// whole content and, when it is accepted, its lines (the fields the writer
// leaves blank for the circuit's type cleared), in file order.
struct ParsedFile {
    ReadResult verdict;
    std::vector<ProgramFileFormat::ProgramLine> lines;  // empty unless accepted
};

// The first step of every read: the whole content checked, nothing else
// touched. Stops at the first line past a capacity: a content larger than
// MaxFileSize, or with more lines of a kind than its limit, is OverCapacity.
ParsedFile parseContent(const QByteArray& content);

// parseContent on the bytes of the file at `path`. Only a regular file is
// read, and one larger than MaxFileSize is OverCapacity unread. Throws
// ProgramFileError (the reason in Japanese) when the file cannot be read,
// is not a regular file, is reached through another user's link in a
// shared sticky folder or its name is not UTF-8 (Platform::readRegularFile).
ParsedFile parseProgramFile(const QString& path);

// The second step: an accepted file's lines replace the document's
// programs and circuit types in one transaction (its circuit settings
// follow). A refused file, or a failure (StoreError), leaves the document as
// it was. Returns the verdict.
ReadResult importParsed(ScheduleDocument& document, const ParsedFile& parsed);

// Both steps, as 読込 and the commands that change a file read it.
ReadResult importContent(ScheduleDocument& document, const QByteArray& content);
ReadResult ReadProgramFile(ScheduleDocument& document, const QString& path);

// " yyyy/MM/dd HH:mm.ss" of a file's last-modified time.
QString timeStampText(const QDateTime& lastModified);

// The texts the editor shows for each outcome.
QString messageText(ReadStatus status);

// For the command line: the same text on one line, and the exit status
// every command that reads a file shares (0 accepted, 1 invalid, 2 over
// capacity).
QString messageLine(ReadStatus status);
int exitStatusOf(ReadStatus status);
// What the command line adds to the verdict: the refused line's number, or
// that the file is larger than any the editor writes; "" otherwise.
QString detailText(const ReadResult& result);
// The verdict and its detail on one line, as every command gives a refusal.
QString refusalLine(const ReadResult& result);

}  // namespace ProgramFileReader
