#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

// What the editor asks of the operating system (files, the console, the
// user, fonts), in one place: PlatformPosix.cpp and PlatformWindows.cpp
// each keep the same promises in their system's terms, and nothing else in
// the program calls the system directly or asks which system it runs on.
//
// Every failure throws FileError with "PATH: reason", the reason in
// Japanese.

class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString& description);
};

namespace Platform {

// --- Reasons ------------------------------------------------------------

// The reason for a system error number, in Japanese: not found, no
// permission, disk full ... ; an unusual one in the system's own words.
QString reason(int systemError);
// Throws FileError with "PATH: reason".
[[noreturn]] void fail(const QString& path, int systemError);
// Throws FileError with "PATH: why".
[[noreturn]] void refuse(const QString& path, const QString& why);

// --- Identity -----------------------------------------------------------

// What identifies one version of a file: a file replaced, rewritten or
// touched since has another stamp.
struct FileStamp {
    quint64 device = 0, inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
// The stamp of what `path` names now (links followed); an empty stamp when
// nothing is there.
FileStamp currentStamp(const QString& path);
// Both names lead to one existing file (links followed, any spelling, a
// hard link included).
bool sameFile(const QString& a, const QString& b);

// --- Reading ------------------------------------------------------------

struct ReadFile {
    qint64 size = 0;   // the file's size when opened
    QByteArray bytes;  // at most `limit` + 1 bytes; none when `size` > `limit`
    FileStamp stamp;
    QDateTime lastModified;
};

// Reads the regular file at `path`. Refused: what is not a regular file
// (checked before it is opened, so that a device or pipe is never opened,
// and again once open), a name that is not UTF-8 (Linux: it would reach
// another file), and a path through a link another user planted in a
// shared sticky folder (Linux).
ReadFile readRegularFile(const QString& path, qint64 limit);

// --- Writing ------------------------------------------------------------

// The file a write to `path` replaces, once every rule of the system's side
// let it through (see the two implementations): links or reparse points
// that others control, devices, pipes and folders, places another user may
// write.
struct OutputTarget {
    QByteArray native;  // the final file, links followed, as the system spells it
    bool exists = false;
    bool readOnly = false;    // the user protected it
    bool hardLinked = false;  // it has other names, which a replacement leaves with the old content
};
OutputTarget resolveOutput(const QString& path);

// The new content of `target`, written beside it and put in its place in
// one step: until commit() the old file stays as it was, and a replacement
// not committed is removed. The new file keeps the old one's permissions
// (and, where the system lets us, its owner).
class Replacement
{
public:
    Replacement(const QString& path, const OutputTarget& target);
    ~Replacement();
    // Writes and syncs every byte; a short disk fails with the reason.
    void write(const QByteArray& content);
    void commit();

    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The bytes of the file `target` leads to, at most `limit`.
QByteArray readBack(const QString& path, const OutputTarget& target, qint64 limit);

// A lock other processes of this program see, held on an empty file at
// `lockPath` (from lockPathFor): tryLock() false while another holds it.
// The lock's folder is made for us alone where missing and refused when it
// is not ours alone (POSIX), so no other user can plant, hold or remove a
// lock there; nothing follows a link in it. The file goes with the last
// holder.
class FileLock
{
public:
    // `path` names the output in messages.
    FileLock(const QString& path, const QByteArray& lockPath);
    ~FileLock();
    bool tryLock();

    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The lock file of the output `target`, in a folder of the user's own
// (POSIX: $XDG_RUNTIME_DIR/wzqxprog, else locks/ in the data folder;
// Windows: %LOCALAPPDATA%\wzqxprog\locks), named by the identity of the
// output's folder and the output's name: every spelling of one output
// finds the one lock, and it stays one while writes replace the file.
QByteArray lockPathFor(const OutputTarget& target);

// Whether `path` leads to the file, pipe or terminal that is our standard
// output now (/dev/stdout, /dev/fd/1, or the file the shell redirected it
// to).
bool leadsToStandardOutput(const QString& path);

// --- Standard streams and the command line ------------------------------

// Run once before a command: a standard stream the caller closed leads
// nowhere instead of to the next file opened; a reader that goes away makes
// writes fail instead of ending the process.
void prepareStandardStreams();
// 0 when all of `bytes` reached standard output, else why not.
int writeStandardOutput(const QByteArray& bytes);
// Standard input to its end, as bytes (no line ends translated), at most
// `limit` + 1 of them; throws FileError 「標準入力: reason」 when it cannot
// be read.
QByteArray readStandardInput(qint64 limit);
// The command's arguments after the program name, as the user typed them.
QStringList commandArguments(int argc, char** argv);

// --- The user's own files ----------------------------------------------

// The data folder and the store hold the user's unsaved schedules: nobody
// else may read them, or plant what the editor then reads or writes into.
enum class PrivateKind { Folder, File };

// Takes group's and others' permissions from our own folder or regular
// file at `path`. Never through a link, never another user's, and never a
// folder at a file's place.
void tightenPrivate(const QString& path, PrivateKind kind);

// Whether nothing is at `path` or it is ours alone: owned by us (a link:
// the link and what it points to) without permissions for group or others.
// Something of another kind in a folder's or a file's place is never read
// or written (the folder cannot be used, the file is only kept aside):
// owned by us is enough there.
bool isOursAlone(const QString& path, PrivateKind kind);

// The first folder of `path` and those above it that someone other than
// us and root could change the entries of: another user's that its owner
// may write, or one anybody may write that is not sticky. Empty when none.
QString folderOthersMayChange(const QString& path);

// Nothing at `path`, or a regular file (no link, folder or pipe).
bool isPlainFileOrNothing(const QString& path);

// 0 when the file at `path` opens for reading and writing (no link
// followed) or is gone, else why not.
int openProblem(const QString& path);

// What the file at `path` is (no link followed), to notice it replaced.
std::pair<quint64, quint64> identityOf(const QString& path);

// Whether a local socket (the hand-over's) can be named by `path`.
bool fitsLocalSocketName(const QString& path);

// The Qt platform the editor gets when nobody names one.
const char* defaultQtPlatform();
// The Qt platform a command that draws (pdf) runs on: one that needs no
// display and still knows the system's fonts.
const char* drawingCommandQtPlatform();

// Where the first file dialog of a run starts.
QString firstFileDialogFolder();

// --- Fonts --------------------------------------------------------------

// The Japanese font of the windows.
QString windowFontFamily();
// The fonts of the printed listings and PDFs, in order: a Latin font whose
// digits read back from a PDF as digits, then a Japanese one.
QStringList listingFontFamilies();

// --- Text ---------------------------------------------------------------

// `bytes` read as Shift_JIS the way Windows and Japanese Excel write it
// (code page 932); nothing when they are not such text.
std::optional<QString> decodeCp932(const QByteArray& bytes);

// --- The user -----------------------------------------------------------

// The user name of a user id, or its number.
QString userName(quint64 uid);

}  // namespace Platform
