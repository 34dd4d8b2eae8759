#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Holds the editor's lock for as long as it runs. A crashed editor leaves
// no stuck lock: a lock that no running process holds is taken over,
// whatever its file says. The lock and its folder (the data folder) are
// the user's alone (0600, 0700); a data folder that another user owns or
// may read is refused, and so is one in a folder another user may write.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();

    enum class Result {
        Acquired,
        HeldByRunningEditor,
        Failed,          // the lock file cannot be made (folder missing, not writable, …)
        NotAFile,        // something else is at the lock path (a folder, a FIFO, a link)
        CannotOpen,      // a lock file is there that we may not open (another user's)
        FolderNotOurs,   // the data folder is another user's, or others may read or write it
        InOthersFolder,  // the data folder is in a folder another user may write (othersFolder())
    };
    Result acquire();

    // Why the lock file could not be opened (errno), after CannotOpen.
    int openError() const { return m_openError; }
    // The folder another user may write, after InOthersFolder.
    QString othersFolder() const { return m_othersFolder; }

    static QString defaultLockPath();

private:
    bool takeOverStaleLock();
    bool canOpenLockFile();

    QString m_path;
    QString m_othersFolder;
    int m_openError = 0;
    std::unique_ptr<QLockFile> m_lock;
};
