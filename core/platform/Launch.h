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

// The path to run for `program` when it may be run: a regular file that
// nobody but us and root can change. POSIX: its real path (links resolved,
// so nothing can be swapped on the way before it starts), owned by us or
// root, in folders each owned by us or root that no other user may write
// (a sticky one, as /tmp, only above what is ours or root's). Otherwise
// empty, and `why` names the file or folder and its owner (UTF-8,
// Japanese), or for a path that cannot be resolved `error` is the system's
// error number.
std::string trustedProgram(const std::string& program, std::string& why, int& error);

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
