#pragma once
#include "core/platform/Platform.h"

#include <QByteArray>
#include <QString>
#include <functional>

class OutputLock;
class ScheduleDocument;

namespace ProgramFileWriter {

// The program file of a document: its week and special programs, dated and
// every-year entries in their numbered order, then the checksum trailer.
// Throws StoreError, or ProgramFileError when a line would be refused on
// reading it back.
QByteArray buildProgramFile(ScheduleDocument& document);

// The editor's 書込: writes the program file to `path` in one piece: the
// old file stays as it was until the new content is complete. While another
// run of ours writes the file it refuses at once rather than keep the
// window waiting. Throws ProgramFileError or StoreError. `afterCommit`: see
// WriteOptions.
void SaveProgramFile(ScheduleDocument& document, const QString& path,
                     std::function<void(const QString& path)> afterCommit = {});

struct WriteOptions {
    // Replace a read-only file, or one with other names (hard links), which
    // keep the old content.
    bool force = false;
    // A file read for this write: when it no longer has `inputStamp` (another
    // program changed it meanwhile), nothing is written.
    QString unchangedInput;
    Platform::FileStamp inputStamp;
    // Wait a few seconds for another run of ours writing the file; else
    // refuse at once.
    bool waitForOthers = true;
    // The output's lock, when the caller holds it already (a command's
    // read-change-write); else the write takes it.
    const OutputLock* heldLock = nullptr;
    // Runs after the new file is in place and before it is read back, with
    // its path; a test changes the file there to stand for a disk that kept
    // fewer bytes than it reported.
    std::function<void(const QString& path)> afterCommit;
};

// Writes `content` to `path` atomically and reads it back: success means
// the file holds exactly `content`. A failure keeps the old file (except a
// read-back that differs, which can only follow a write the system called
// complete). The new file keeps the old one's permission bits and, where
// the system lets us, its owner and group. A symbolic link of ours or
// root's is written through to its target; what Platform::resolveOutput
// refuses, a name that is not UTF-8, and without `force` a read-only or
// hard-linked file are refused. Holds the output's OutputLock meanwhile.
// Throws ProgramFileError naming `path`, with the reason in Japanese.
void writeFileAtomically(const QString& path, const QByteArray& content, const WriteOptions& options = {});

// For a command's OUT: "-", or any other name of our standard output
// (/dev/stdout, the file the shell redirected it to), is written down that
// stream, where it was opened for appending appended; anything else is a
// file written as writeFileAtomically writes it.
void writeCommandOutput(const QString& path, const QByteArray& content, const WriteOptions& options = {});

}  // namespace ProgramFileWriter
