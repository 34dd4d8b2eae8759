#pragma once
#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Where a name given by the user really leads, and whether we may follow it
// there. Every link on the way is resolved here, one component at a time as
// the kernel does, so that each can be checked against who owns it.
namespace FilePaths {

// What identifies one version of a file: a file replaced, rewritten or
// touched since has another stamp.
struct FileStamp {
    quint64 device = 0, inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp stampOf(const struct stat& info);
// The stamp of what `path` names now (links followed); an empty stamp when
// nothing is there.
FileStamp currentStamp(const QString& path);

struct Target {
    QByteArray path;  // free of links, as the system spells it
    bool exists = false;
    struct stat info = {};
};

// The file a write to `path` replaces. Refused, with ProgramFileError naming
// `path` and the reason in Japanese:
// - a link owned by neither us nor root, anywhere on the way: whoever owns
//   it decides where our write goes;
// - an output reached through /proc (/dev/stdout, /dev/fd/N) that is not a
//   regular file of ours;
// - a link to nothing, a loop, or what is not a regular file (a device, a
//   pipe, a folder) at the end;
// - another user's file in a shared sticky folder (/tmp) whose owner is not
//   theirs: the kernel's protected-regular rule, kept even for root;
// - a name in a folder that another user owns and may write, unless the
//   file there is ours: they could swap or read what we leave there.
Target writableTarget(const QString& path);

// The same walk for a file to read: another user's link in a shared sticky
// folder not theirs is refused (the kernel's protected-symlinks rule, kept
// whatever the system's setting), so that nobody can make us publish a file
// of ours that they may not read. Other failures are left to opening it.
void checkReadablePath(const QString& path);

// The user name of `uid`, or its number when the system has no name for it.
QString userName(uid_t uid);

}  // namespace FilePaths
