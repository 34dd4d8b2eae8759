#include "core/platform/Platform.h"

#include "core/platform/Launch.h"
#include "core/platform/WindowsSound.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace Platform {

namespace {

bool g_outputClosed = false;

// The Windows spelling of a path: absolute, backslashes, and "\\?\" before
// it so that no length limit applies and no name is taken for a device.
std::wstring wide(const QString& path)
{
    QString absolute = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (absolute.startsWith(QLatin1String("\\\\?\\")) || absolute.startsWith(QLatin1String("\\\\.\\")))
        return absolute.toStdWString();
    if (absolute.startsWith(QLatin1String("\\\\")))
        absolute = QStringLiteral("\\\\?\\UNC\\") + absolute.mid(2);
    else
        absolute = QStringLiteral("\\\\?\\") + absolute;
    return absolute.toStdWString();
}

std::wstring wide(const QByteArray& native)
{
    return wide(QString::fromUtf8(native));
}

class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE)
        : m_handle(handle)
    {
    }
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    HANDLE release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle)
    {
        if (valid())
            ::CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle that only asks what the file is, without following a reparse
// point at the end.
HANDLE openToInspect(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A FILETIME counts 100 ns steps since 1601: multiplied into nanoseconds it
// would not fit, so a time is taken as steps since 1970 first.
constexpr quint64 kStepsFrom1601To1970 = 116444736000000000ULL;

qint64 stepsSince1970(quint64 steps)
{
    return qint64(steps - kStepsFrom1601To1970);
}

qint64 stepsSince1970(const FILETIME& time)
{
    return stepsSince1970((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// For the stamps, which are only compared: a time beyond 2262 wraps.
qint64 nanoseconds(qint64 steps)
{
    return qint64(quint64(steps) * 100U);
}

FileStamp stampOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info))
        return {};
    FILE_BASIC_INFO basic = {};
    ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic);
    return FileStamp{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     nanoseconds(stepsSince1970(info.ftLastWriteTime)),
                     nanoseconds(stepsSince1970(quint64(basic.ChangeTime.QuadPart)))};
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1..9 and LPT1..9, with any
// extension, name a device in every folder.
bool isReservedName(const QString& path)
{
    QString name = QFileInfo(path).fileName().section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    if (name == QLatin1String("CON") || name == QLatin1String("PRN") || name == QLatin1String("AUX")
        || name == QLatin1String("NUL") || name == QLatin1String("CONIN$") || name == QLatin1String("CONOUT$"))
        return true;
    return name.size() == 4 && (name.startsWith(QLatin1String("COM")) || name.startsWith(QLatin1String("LPT")))
        && (name[3].isDigit() || name[3] == QChar(0xB9) || name[3] == QChar(0xB2) || name[3] == QChar(0xB3));
}

// "\\.\" names a device, and so does "\\?\" before anything but a drive's
// path ("\\?\C:\...") or a share's ("\\?\UNC\server\share\...").
bool isDevicePath(const QString& path)
{
    const QString slashed = QDir::fromNativeSeparators(path);
    if (slashed == QLatin1String("//.") || slashed.startsWith(QLatin1String("//./")))
        return true;
    if (!slashed.startsWith(QLatin1String("//?/")))
        return false;
    const QString rest = slashed.mid(4);
    if (rest.size() >= 3 && rest[0].isLetter() && rest[1] == QLatin1Char(':') && rest[2] == QLatin1Char('/'))
        return false;
    if (!rest.startsWith(QLatin1String("UNC/"), Qt::CaseInsensitive))
        return true;
    const QString server = rest.mid(4).section(QLatin1Char('/'), 0, 0);
    return server.isEmpty() || server == QLatin1String(".") || server == QLatin1String("?");
}

// Windows drops a dot or a space at a name's end, except after "\\?\",
// which we put before every path: such a name would be made as typed, and
// Explorer and most programs could neither open nor delete it.
bool hasTrimmedName(const QString& path)
{
    for (const QString& part : QDir::fromNativeSeparators(path).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (part != QLatin1String(".") && part != QLatin1String("..")
            && (part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' '))))
            return true;
    return false;
}

// A colon past the drive names a stream inside a file ("a.dat:x"), which
// no other program shows.
bool namesStream(const QString& path)
{
    QString rest = QDir::fromNativeSeparators(path);
    if (rest.startsWith(QLatin1String("//?/")))
        rest = rest.mid(4);
    if (rest.size() >= 2 && rest[0].isLetter() && rest[1] == QLatin1Char(':'))
        rest = rest.mid(2);
    return rest.contains(QLatin1Char(':'));
}

// What the user may not name on Windows, to read or to write.
void refuseUnusableName(const QString& path)
{
    if (isDevicePath(path))
        refuse(path, QStringLiteral("ファイルではなくデバイスを指す名前のため使えません。"));
    if (isReservedName(path))
        refuse(path, QStringLiteral("Windows が予約している名前のため使えません。"));
    if (hasTrimmedName(path))
        refuse(path, QStringLiteral("ピリオドまたは空白で終わる名前は Windows で使えません。"));
    if (namesStream(path))
        fail(path, ERROR_INVALID_NAME);
}

// A symbolic link or a junction: a place the user did not name. Other
// reparse points (cloud files, deduplicated files) are the files named.
bool isLink(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        && (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

// Every folder on the way and the file itself are checked: no write goes
// through a link or junction.
void refuseLinksOnTheWay(const QString& path, const QString& absolute)
{
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = absolute.startsWith(QLatin1String("//")) ? QStringLiteral("//") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        walked += parts[i];
        if (i > (walked.startsWith(QLatin1String("//")) ? 1 : 0) && isLink(wide(walked)))
            refuse(
                path,
                QStringLiteral("%1 はリンク（シンボリックリンクまたはジャンクション）のため、たどって書き込めません。")
                    .arg(QDir::toNativeSeparators(walked)));
        walked += QLatin1Char('/');
    }
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

}  // namespace

// --- Reasons ------------------------------------------------------------

QString reason(int systemError)
{
    if (const char* text = Launch::reasonText(systemError))
        return QString::fromUtf8(text);
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, DWORD(systemError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString system = text ? QString::fromWCharArray(text).trimmed() : QString::number(systemError);
    ::LocalFree(text);
    return QStringLiteral("システムのエラーです（%1）。").arg(system);
}

void refuse(const QString& path, const QString& why)
{
    throw FileError(QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
}

// --- Identity -----------------------------------------------------------

FileStamp currentStamp(const QString& path)
{
    const Handle file(
        ::CreateFileW(wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() ? stampOf(file.get()) : FileStamp{};
}

bool sameFile(const QString& a, const QString& b)
{
    const FileStamp first = currentStamp(a);
    const FileStamp second = currentStamp(b);
    return first.size >= 0 && second.size >= 0 && first.device == second.device && first.inode == second.inode;
}

// --- Reading ------------------------------------------------------------

ReadFile readRegularFile(const QString& path, qint64 limit)
{
    refuseUnusableName(path);
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        refuse(path, QStringLiteral("通常のファイルではないため読み込めません。"));
    const Handle file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        fail(path, int(::GetLastError()));
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        refuse(path, QStringLiteral("通常のファイルではないため読み込めません。"));
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size))
        fail(path, int(::GetLastError()));
    ReadFile read;
    read.size = size.QuadPart;
    read.stamp = stampOf(file.get());
    FILETIME written;
    if (::GetFileTime(file.get(), nullptr, nullptr, &written))
        read.lastModified = QDateTime::fromMSecsSinceEpoch(stepsSince1970(written) / 10000);
    if (read.size > limit)
        return read;
    read.bytes.resize(limit + 1);
    qint64 done = 0;
    while (done < read.bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), read.bytes.data() + done, DWORD(read.bytes.size() - done), &got, nullptr))
            fail(path, int(::GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    read.bytes.truncate(done);
    return read;
}

// --- Writing ------------------------------------------------------------

OutputTarget resolveOutput(const QString& path)
{
    if (path.isEmpty())
        fail(path, ERROR_FILE_NOT_FOUND);
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    refuseUnusableName(path);
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    refuseLinksOnTheWay(path, absolute);
    const std::wstring name = wide(absolute);
    OutputTarget target;
    target.native = absolute.toUtf8();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            fail(path, int(error));
        const DWORD folder = ::GetFileAttributesW(wide(folderOf(absolute)).c_str());
        if (folder == INVALID_FILE_ATTRIBUTES)
            fail(path, int(::GetLastError()));
        if (!(folder & FILE_ATTRIBUTE_DIRECTORY))
            fail(path, ERROR_DIRECTORY);
        return target;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    const Handle file(openToInspect(name));
    if (!file.valid())
        fail(path, int(::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info))
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    target.exists = true;
    target.readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    target.hardLinked = info.nNumberOfLinks > 1;
    return target;
}

struct Replacement::Private {
    QString path;
    QString target;
    QString name;
    bool exists = false;
    Handle file;
    bool done = false;
};

Replacement::Replacement(const QString& path, const OutputTarget& target)
    : d(std::make_unique<Private>())
{
    d->path = path;
    d->target = QString::fromUtf8(target.native);
    d->exists = target.exists;
    for (int attempt = 0; attempt < 100 && !d->file.valid(); ++attempt) {
        d->name = folderOf(d->target)
            + QStringLiteral("/.wzqxprog-%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        d->file.reset(::CreateFileW(wide(d->name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!d->file.valid() && ::GetLastError() != ERROR_FILE_EXISTS)
            fail(path, int(::GetLastError()));
    }
    if (!d->file.valid())
        fail(path, ERROR_FILE_EXISTS);
}

Replacement::~Replacement()
{
    if (d->file.valid())
        ::CloseHandle(d->file.release());
    if (!d->done)
        ::DeleteFileW(wide(d->name).c_str());
}

void Replacement::write(const QByteArray& content)
{
    qint64 done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        if (!::WriteFile(d->file.get(), content.constData() + done, DWORD(content.size() - done), &written, nullptr))
            fail(d->path, int(::GetLastError()));
        if (written == 0)
            fail(d->path, ERROR_DISK_FULL);
        done += written;
    }
    if (!::FlushFileBuffers(d->file.get()))
        fail(d->path, int(::GetLastError()));
    ::CloseHandle(d->file.release());
}

// ReplaceFile keeps the old file's attributes and permissions; a file
// another program holds open is reported and stays as it was. It refuses a
// read-only file, which gets here only when the user said to replace it:
// the attribute is taken off for the replacement and put on again, on the
// new file, or on the old one when it stayed.
void Replacement::commit()
{
    const std::wstring target = wide(d->target);
    const std::wstring name = wide(d->name);
    const DWORD attributes = d->exists ? ::GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!::SetFileAttributesW(target.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL))
            fail(d->path, int(::GetLastError()));
    }
    const bool moved = d->exists
        ? ::ReplaceFileW(target.c_str(), name.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
        : ::MoveFileExW(name.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    const DWORD error = moved ? 0 : ::GetLastError();
    if (readOnly) {
        const DWORD now = ::GetFileAttributesW(target.c_str());
        if (now != INVALID_FILE_ATTRIBUTES)
            ::SetFileAttributesW(target.c_str(), (now & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY);
    }
    if (!moved)
        fail(d->path, int(error));
    d->done = true;
}

QByteArray readBack(const QString& path, const OutputTarget& target, qint64 limit)
{
    const Handle file(::CreateFileW(wide(target.native).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        fail(path, int(::GetLastError()));
    QByteArray bytes(limit, Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, DWORD(limit - done), &got, nullptr))
            fail(path, int(::GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

struct FileLock::Private {
    QString path;
    QByteArray lockPath;
    Handle file;
};

FileLock::FileLock(const QString& path, const QByteArray& lockPath)
    : d(std::make_unique<Private>())
{
    d->path = path;
    d->lockPath = lockPath;
}

FileLock::~FileLock() = default;

// The lock is the file opened for us alone; made by us, it goes when its
// handle closes, also when the holder dies. A file of that name we did not
// make is used but never removed. The folder lies in the user's own
// profile, which Windows keeps to the user.
bool FileLock::tryLock()
{
    const QString folder = folderOf(QString::fromUtf8(d->lockPath));
    if (!QDir().mkpath(folder) || isLink(wide(folder)))
        refuse(d->path,
               QStringLiteral("ロック用のフォルダー %1 を使えないため書き込めません。")
                   .arg(QDir::toNativeSeparators(folder)));
    const std::wstring name = wide(d->lockPath);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        refuse(d->path,
               QStringLiteral("ロックファイル %1 が通常のファイルではありません。")
                   .arg(QDir::toNativeSeparators(QString::fromUtf8(d->lockPath))));
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS)
        file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        d->file.reset(file);
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_FILE_NOT_FOUND)
        return false;  // held by another, or going away as we looked
    fail(d->path, int(error));
}

// %LOCALAPPDATA%\wzqxprog\locks\VOLUME-INDEX-NAME.lock: the volume serial
// number and file index of the output's folder, and a hash of its name there.
QByteArray lockPathFor(const OutputTarget& target)
{
    const QString native = QString::fromUtf8(target.native);
    const Handle folder(openToInspect(wide(folderOf(native))));
    if (!folder.valid())
        fail(native, int(::GetLastError()));
    const FileStamp identity = stampOf(folder.get());
    const QString name = QFileInfo(native).fileName().toLower();  // names differing in case name one file
    const QString base = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    const QString locks =
        (base.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) : base)
        + QStringLiteral("/wzqxprog/locks/");
    return (locks + QString::number(identity.device) + QLatin1Char('-') + QString::number(identity.inode)
            + QLatin1Char('-')
            + QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(32))
            + QStringLiteral(".lock"))
        .toUtf8();
}

bool leadsToStandardOutput(const QString& path)
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    BY_HANDLE_FILE_INFORMATION open;
    if (output == nullptr || output == INVALID_HANDLE_VALUE || ::GetFileType(output) != FILE_TYPE_DISK
        || !::GetFileInformationByHandle(output, &open))
        return false;
    const FileStamp named = currentStamp(path);
    return named.size >= 0 && named.device == open.dwVolumeSerialNumber
        && named.inode == ((quint64(open.nFileIndexHigh) << 32) | open.nFileIndexLow);
}

// --- Standard streams and the command line ------------------------------

UINT g_consoleCodePage = 0;

void restoreConsoleCodePage()
{
    ::SetConsoleOutputCP(g_consoleCodePage);
}

void prepareStandardStreams()
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    g_outputClosed = output == nullptr || output == INVALID_HANDLE_VALUE;
    // Japanese in the console window: the bytes written are UTF-8. The
    // console is the user's: its code page is given back at the end.
    g_consoleCodePage = ::GetConsoleOutputCP();
    if (g_consoleCodePage != 0 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

int writeStandardOutput(const QByteArray& bytes)
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (g_outputClosed || output == nullptr || output == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    qint64 done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(output, bytes.constData() + done, DWORD(bytes.size() - done), &written, nullptr))
            return int(::GetLastError());
        if (written == 0)
            return ERROR_DISK_FULL;
        done += written;
    }
    return 0;
}

QByteArray readStandardInput(qint64 limit)
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        fail(QStringLiteral("標準入力"), ERROR_INVALID_HANDLE);
    QByteArray bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        DWORD got = 0;
        if (!::ReadFile(input, buffer, sizeof buffer, &got, nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_BROKEN_PIPE)  // the writer closed its end
                break;
            fail(QStringLiteral("標準入力"), int(error));
        }
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(std::min<qint64>(got, limit + 1 - bytes.size())));
    }
    return bytes;
}

// The command line as typed, in UTF-16: the bytes of argv are in the
// system's code page, which may not hold every character of a file name.
QStringList commandArguments(int, char**)
{
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    QStringList args;
    for (int i = 1; i < count; ++i)
        args << QString::fromWCharArray(words[i]);
    ::LocalFree(words);
    return args;
}

// --- The user's own files ----------------------------------------------

// The data folder lies in the user's own profile, whose permissions Windows
// keeps to the user; nothing to tighten.
void tightenPrivate(const QString&, PrivateKind)
{
}

// A link or junction in the data folder's or the store's place could lead
// anywhere: only the folders and files themselves are used.
bool isOursAlone(const QString& path, PrivateKind)
{
    return !isLink(wide(path));
}

// The profile's folders are the user's; permissions of other folders are
// not looked into.
QString folderOthersMayChange(const QString&)
{
    return QString();
}

bool isPlainFileOrNothing(const QString& path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES
        || !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

int openProblem(const QString& path)
{
    const Handle file(::CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.valid())
        return 0;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_SHARING_VIOLATION ? 0 : int(error);
}

std::pair<quint64, quint64> identityOf(const QString& path)
{
    const Handle file(openToInspect(wide(path)));
    if (!file.valid())
        return {};
    const FileStamp stamp = stampOf(file.get());
    return {stamp.device, stamp.inode};
}

// A named pipe's name: at most 256 characters with "\\.\pipe\".
bool fitsLocalSocketName(const QString& path)
{
    return path.size() + 9 <= 256;
}

const char* defaultQtPlatform()
{
    return "windows";
}

// Windows always has a display, and only its own platform knows its fonts.
const char* drawingCommandQtPlatform()
{
    return "windows";
}

// The user's Documents: a program started from the Start menu works in
// its own folder under Program Files, no place for the user's files.
QString firstFileDialogFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// --- Sound --------------------------------------------------------------

namespace {

MCIERROR sendMci(const QString& command)
{
    return ::mciSendStringW(reinterpret_cast<const wchar_t*>(command.utf16()), nullptr, 0, nullptr);
}

}  // namespace

bool hasSoundOutput()
{
    return ::waveOutGetNumDevs() > 0;
}

// The tune is opened under the alias Chime and played; stopSound closes it.
bool playSoundFile(const QString& path)
{
    if (sendMci(QStringLiteral("open \"%1\" type mpegvideo alias Chime").arg(QDir::toNativeSeparators(path))) != 0)
        return false;
    sendMci(QStringLiteral("play Chime"));
    return true;
}

void stopSound()
{
    sendMci(QStringLiteral("close Chime"));
}

// --- Fonts --------------------------------------------------------------

// Windows' own Japanese fonts: Yu Gothic since Windows 8.1, MS Gothic before.
QString windowFontFamily()
{
    return QStringLiteral("Yu Gothic UI");
}

QStringList listingFontFamilies()
{
    return {QStringLiteral("Yu Gothic"), QStringLiteral("MS Gothic")};
}

// --- Text ---------------------------------------------------------------

std::optional<QString> decodeCp932(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (bytes.size() > INT_MAX / 2)
        return std::nullopt;
    const int length =
        ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring text(size_t(length), L'\0');
    if (::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), text.data(), length)
        != length)
        return std::nullopt;
    return QString::fromStdWString(text);
}

// --- The user -----------------------------------------------------------

QString userName(quint64 uid)
{
    return QString::number(uid);
}

}  // namespace Platform
