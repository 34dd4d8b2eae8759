#pragma once
#include "progfile/ProgramFileFormat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
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
    int refusedLine = 0;  // 1-based line number of the refused line, 0 when none
    std::vector<ProgramFileFormat::ProgramLine> lines;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Accepted;
    LineCounts counts;
    int refusedLine = 0;
    QDateTime lastModified;  // of the file, when read from a file
};

CheckedContent checkContent(const QByteArray& content);

// Checks `content` and, when it passes, replaces the store with it in one
// transaction; CircuitSettings of all eight circuits then equals T_Setting.
// A refused content or a failure (StoreError) leaves store and
// CircuitSettings as they were.
ReadResult importContent(const QByteArray& content);

// importContent on the bytes of the file at `path`. Throws ProgramFileError
// when the file cannot be read.
ReadResult ReadProgramFile(const QString& path);

// " yyyy/MM/dd HH:mm.ss" of a file's last-modified time.
QString timeStampText(const QDateTime& lastModified);

// The texts the editor shows for each outcome.
QString messageText(ReadStatus status);

}  // namespace ProgramFileReader
