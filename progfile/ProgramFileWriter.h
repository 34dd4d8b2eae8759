#pragma once
#include <QByteArray>
#include <QString>

namespace ProgramFileWriter {

// The program file for the current store: T_Week, T_Year, T_YearE in ID
// order, then the checksum trailer. Throws StoreError, or ProgramFileError
// when a line would be refused on reading it back.
QByteArray buildProgramFile();

// Loads CircuitSettings from T_Setting, then writes the program file to
// `path` in one piece: the old file stays as it was until the new content is
// complete. Throws ProgramFileError or StoreError.
void SaveProgramFile(const QString& path);

// Writes `content` to `path` atomically. Throws ProgramFileError.
void writeFileAtomically(const QString& path, const QByteArray& content);

}  // namespace ProgramFileWriter
