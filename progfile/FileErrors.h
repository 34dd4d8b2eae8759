#pragma once
#include <QString>

// Why a file could not be used, in the words the command line and the
// "Error" box show: "PATH: reason", the reason in Japanese.
namespace FileErrors {

// The reason for a system error number (errno): not found, no permission,
// disk full ...; an unusual one in the system's own words.
QString reason(int systemError);

// Throws ProgramFileError with "PATH: reason".
[[noreturn]] void fail(const QString& path, int systemError);

// Throws ProgramFileError when `path` cannot name a file: bytes of a name
// that are not UTF-8 reach us as U+FFFD, and opening or creating that text
// would reach a file of another name.
void requireUsableName(const QString& path);

}  // namespace FileErrors
