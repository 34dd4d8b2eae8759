#pragma once
#include <QByteArray>
#include <QString>

#include <memory>

namespace Platform {
class FileLock;
}

// Keeps other writers of this program off one output file while a
// read-change-write of it runs: a command that reads a file and writes it
// back, and the editor's 書込. The lock is a system lock on an empty file
// beside the output (".NAME.lock"), so a writer that dies frees it at once;
// the last holder removes the file. Writers of other programs are not held
// off: a command also checks that its input did not change meanwhile.
class OutputLock
{
public:
    // Waits for the lock on the file `path` leads to (links followed as a
    // write follows them) for up to a few seconds. Throws ProgramFileError
    // naming `path` when the output is refused or the lock cannot be had.
    // Taking a lock this process holds already, or for "-" (a command's
    // standard output), is a no-op.
    explicit OutputLock(const QString& path);
    ~OutputLock();

    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

    // How long a writer waits for another, in milliseconds.
    static void setWaitForTesting(int ms);

private:
    QByteArray m_lockPath;
    std::unique_ptr<Platform::FileLock> m_lock;
};
