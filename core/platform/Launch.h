#pragma once
#include <string>

// Starting this package's programs, without Qt: the launcher (bin/wzqxprog)
// loads nothing but the C library, so that the program it starts is not
// kept waiting. Paths are UTF-8 with '/'.
namespace Launch {

// The folder of the running program, links followed; empty when unknown.
std::string ownFolder();

// Whether anything is at `path`.
bool exists(const std::string& path);

// Runs `program` in this one's place, with this process's arguments (the
// program name as typed) and standard streams, and returns its exit status;
// `error` is 0 then, else the system's error number (and -1 is returned).
// POSIX: this process becomes `program` (execv), and this returns only when
// it cannot. Windows: `program` gets this process's command line and is
// waited for.
int runInPlace(const std::string& program, char** argv, int& error);

// The reason for a system error number in Japanese (UTF-8), as
// Platform::reason gives it; nullptr for an unusual one.
const char* reasonText(int error);

}  // namespace Launch
