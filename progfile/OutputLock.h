#pragma once
#include <QByteArray>
#include <QString>

#include <memory>

namespace Platform {
class FileLock;
}

// Keeps other writers of this program off one output file while a
// read-change-write of it runs: a command that reads a file and writes it
// back, and the editor's 書込. The lock is a system lock on an empty file in
// a folder of the user's own (Platform::lockPathFor), so a writer that dies
// frees it at once and no other user can hold or block it; the last holder
// removes the file. Writers of other programs are not held off: a command
// also checks that its input did not change meanwhile.
class OutputLock
{
public:
    enum class Wait {
        AFewSeconds,  // a command, which has no window to keep alive
        No,           // the editor: its window must not freeze
    };

    // Takes the lock on the file `path` leads to (links followed as a write
    // follows them), waiting for another run as `wait` says. Throws
    // ProgramFileError naming `path` when the output is refused or the lock
    // cannot be had. A lock for "-" or another name of our standard output (a
    // command writes that stream) is a no-op. A writer inside the lock is
    // handed it (WriteOptions::heldLock) rather than take it again.
    explicit OutputLock(const QString& path, Wait wait = Wait::AFewSeconds);
    ~OutputLock();

    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

    // "-" or a name of our standard output: a command writes the program down
    // that stream instead of replacing the file behind it.
    static bool isStandardOutput(const QString& path);

private:
    std::unique_ptr<Platform::FileLock> m_lock;
};
