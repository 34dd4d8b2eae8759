#pragma once
#include "progfile/ProgramFileFormat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace ProgramFileReader {

enum class ReadStatus {
    Accepted,      // imported into the store
    Invalid,       // a refused line or checksum; nothing changed
    OverCapacity,  // valid, but more programs than the store may hold; nothing changed
};

struct LineCounts {
    int week = 0;  // week and special lines
    int dated = 0;
    int everyYear = 0;
};

// The first pass: the whole content checked, nothing touched.
struct CheckedContent {
    ReadStatus status = ReadStatus::Accepted;
    LineCounts counts;
    int refusedLine = 0;    // 1-based line number of the refused line, 0 when none
    bool tooLarge = false;  // over capacity by its size alone, not read
    std::vector<ProgramFileFormat::ProgramLine> lines;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Accepted;
    LineCounts counts;
    int refusedLine = 0;
    bool tooLarge = false;         // larger than MaxFileSize: refused unread
    QDateTime lastModified;        // of the file, when read from a file
    Platform::FileStamp stamp;  // of the file as read
};

// Stops at the first line past a capacity: a content larger than
// MaxFileSize, or with more lines of a kind than its limit, is OverCapacity.
CheckedContent checkContent(const QByteArray& content);

// Checks `content` and, when it passes, replaces the store with it in one
// transaction; CircuitSettings of all eight circuits then equals T_Setting.
// A refused content or a failure (StoreError) leaves store and
// CircuitSettings as they were.
ReadResult importContent(const QByteArray& content);

// importContent on the bytes of the file at `path`. Only a regular file is
// read, and one larger than MaxFileSize is OverCapacity unread. Throws
// ProgramFileError (the reason in Japanese) when the file cannot be read,
// is not a regular file, is reached through another user's link in a
// shared sticky folder or its name is not UTF-8 (Platform::readRegularFile).
ReadResult ReadProgramFile(const QString& path);

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

// Reads `path` into the store for a command: nullopt when accepted, else the
// exit status and refusalLine. `stamp`, when given, gets the file's stamp.
std::optional<std::pair<int, QString>> ReadForCommand(const QString& path, Platform::FileStamp* stamp = nullptr);

}  // namespace ProgramFileReader
