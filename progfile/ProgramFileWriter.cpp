#include "progfile/ProgramFileWriter.h"

#include "progfile/FileErrors.h"
#include "progfile/FilePaths.h"
#include "progfile/OutputLock.h"
#include "progfile/ProgramFileFormat.h"
#include "progfile/StandardOutput.h"
#include "store/ProgramStore.h"
#include "store/SettingTable.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ProgramFileFormat;

namespace {

CircuitType circuitOf(const SettingTable& settings, int circuitNO)
{
    if (circuitNO < 1 || circuitNO > 8)
        throw StoreError(QStringLiteral("A stored program names an unknown circuit %1").arg(circuitNO));
    return CircuitType{settings[circuitNO].Program, settings[circuitNO].PulseTime};
}

// Every line must pass the reader's own check: a file the editor cannot
// read back must not be reported as written. The store can get there, for
// instance a week program of a circuit whose output time a read file left
// at 0 seconds.
void appendLine(QByteArray& content, FileCheckSum& sum, const QByteArray& line, int circuitNO)
{
    if (!parseProgramLine(line))
        throw ProgramFileError(QStringLiteral("回路%1の設定またはプログラムに不正な値があるため、"
                                              "プログラムファイルを作成できません。初期設定を確認してください。")
                                   .arg(circuitNO));
    const qsizetype start = content.size();
    content += line;
    content += LineEnd;
    sum.fold(content.constData() + start, content.size() - start);
}

void appendWeekLines(QByteArray& content, FileCheckSum& sum, const SettingTable& settings)
{
    QSqlQuery query = ProgramStore::exec(
        QStringLiteral("SELECT CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, "
                       "TimeOFFM, Repeat, ChimeNO FROM T_Week ORDER BY ID, rowid"));
    while (query.next()) {
        WeekRow row;
        row.CircuitNO = query.value(0).toInt();
        row.SpecialNO = query.value(1).toInt();
        row.YobiON = query.value(2).toInt();
        row.YobiOFF = query.value(3).toInt();
        row.TimeONH = query.value(4).toInt();
        row.TimeONM = query.value(5).toInt();
        row.TimeONS = query.value(6).toInt();
        row.TimeOFFH = query.value(7).toInt();
        row.TimeOFFM = query.value(8).toInt();
        row.Repeat = query.value(9).toInt();
        row.ChimeNO = query.value(10).toInt();
        appendLine(content, sum, weekLine(row, circuitOf(settings, row.CircuitNO)), row.CircuitNO);
    }
}

void appendYearLines(QByteArray& content, FileCheckSum& sum, const SettingTable& settings, bool dated)
{
    QSqlQuery query = ProgramStore::exec(
        dated ? QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year ORDER BY ID, rowid")
              : QStringLiteral("SELECT CircuitNO, 0, Month, Day, SpecialNO FROM T_YearE ORDER BY ID, rowid"));
    while (query.next()) {
        YearRow row;
        row.CircuitNO = query.value(0).toInt();
        row.Year = query.value(1).toInt();
        row.Month = query.value(2).toInt();
        row.Day = query.value(3).toInt();
        row.SpecialNO = query.value(4).toInt();
        const CircuitType circuit = circuitOf(settings, row.CircuitNO);
        appendLine(content, sum, dated ? yearLine(row, circuit) : everyYearLine(row, circuit), row.CircuitNO);
    }
}

std::function<void(const QString&)> g_afterCommit;

using FilePaths::Target;

[[noreturn]] void refuse(const QString& path, const char* why)
{
    throw ProgramFileError(path + QStringLiteral(": ") + QString::fromUtf8(why));
}

// Whether we may write the file by its permission bits (root may write
// anything, so for root only a file no one may write counts as read-only).
bool isReadOnly(const struct stat& info)
{
    const uid_t me = ::geteuid();
    if (me == 0)
        return (info.st_mode & 0222) == 0;
    if (info.st_uid == me)
        return !(info.st_mode & S_IWUSR);
    if (info.st_gid == ::getegid())
        return !(info.st_mode & S_IWGRP);
    return !(info.st_mode & S_IWOTH);
}

// A replacement would leave the file's other names (hard links) with the
// old content and break the tie silently; a read-only file is one the user
// protected. Either is replaced only when the user says so.
void checkReplaceable(const QString& path, const Target& target, bool force)
{
    if (!target.exists || force)
        return;
    if (isReadOnly(target.info))
        refuse(path, "読み取り専用のファイルのため書き込めません。");
    if (target.info.st_nlink > 1)
        refuse(path, "ほかの名前（ハードリンク）からも使われているファイルのため書き込めません。");
}

void checkInputUnchanged(const ProgramFileWriter::WriteOptions& options)
{
    if (options.unchangedInput.isEmpty() || FilePaths::currentStamp(options.unchangedInput) == options.inputStamp)
        return;
    throw ProgramFileError(options.unchangedInput
                           + QStringLiteral(": 読み込んだ後にほかから変更されたため、書き込みを取りやめました。"));
}

// The folder of a path free of links; the name beside the target is short,
// so that a target of the longest name the system allows can be written.
QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The bits a new file gets from open(2) with 0666.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The replacement keeps the old file's permission bits and, where we may
// (as root, or a group of ours), its owner and group.
void takeOverOwnerAndMode(int fd, const Target& target)
{
    if (!target.exists) {
        ::fchmod(fd, newFileMode());
        return;
    }
    if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0 && ::fchown(fd, uid_t(-1), target.info.st_gid) != 0) {
        // Not ours to give away: the replacement stays ours.
    }
    ::fchmod(fd, target.info.st_mode & 07777);
}

// A short write is followed by a write of the rest, which then fails with
// the system's reason (a full disk gives ENOSPC).
void writeAll(const QString& path, int fd, const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            FileErrors::fail(path, written < 0 ? errno : ENOSPC);
        done += qsizetype(written);
    }
}

// The new content beside the target, removed again unless it took the
// target's place.
class Replacement
{
public:
    Replacement(const QString& path, const Target& target)
        : m_path(path)
        , m_target(target.path)
        , m_name(folderOf(target.path) + "/.wzqxprog-XXXXXX")
    {
        m_fd = ::mkostemp(m_name.data(), O_CLOEXEC);
        if (m_fd < 0)
            FileErrors::fail(path, errno);
        takeOverOwnerAndMode(m_fd, target);
    }
    ~Replacement()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_done)
            ::unlink(m_name.constData());
    }

    void write(const QByteArray& content)
    {
        writeAll(m_path, m_fd, content);
        if (::fsync(m_fd) != 0)
            FileErrors::fail(m_path, errno);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            FileErrors::fail(m_path, errno);
    }

    // Puts the new file in the target's place and makes the change of name
    // itself lasting.
    void commit()
    {
        if (::rename(m_name.constData(), m_target.constData()) != 0)
            FileErrors::fail(m_path, errno);
        m_done = true;
        const int dir = ::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

private:
    QString m_path;
    QByteArray m_target;
    QByteArray m_name;
    int m_fd = -1;
    bool m_done = false;
};

// Success is reported only for a file that holds what was meant to be
// written, whatever the layers below said: no byte less, none more. The
// target is opened by its bytes, which a link may have made other than UTF-8.
void verifyWritten(const QString& path, const QByteArray& target, const QByteArray& content)
{
    const int fd = ::open(target.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        FileErrors::fail(path, errno);
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    if (file.read(content.size() + 1) != content)
        refuse(path, "書き込んだ内容を読み返すと一致しません。ファイルは正しく保存されていません。");
}

}  // namespace

namespace ProgramFileWriter {

QByteArray buildProgramFile()
{
    const SettingTable settings = ReadSettingTable();
    QByteArray content;
    FileCheckSum sum;
    appendWeekLines(content, sum, settings);
    appendYearLines(content, sum, settings, true);
    appendYearLines(content, sum, settings, false);
    content += trailerLine(sum);
    return content;
}

void SaveProgramFile(const QString& path)
{
    LoadCircuitSettings();
    writeFileAtomically(path, buildProgramFile());
}

void writeFileAtomically(const QString& path, const QByteArray& content, const WriteOptions& options)
{
    FileErrors::requireUsableName(path);
    const OutputLock lock(path);
    const Target target = FilePaths::writableTarget(path);
    checkReplaceable(path, target, options.force);
    Replacement replacement(path, target);
    replacement.write(content);
    checkInputUnchanged(options);
    replacement.commit();
    if (g_afterCommit)
        g_afterCommit(QFile::decodeName(target.path));
    verifyWritten(path, target.path, content);
}

void writeCommandOutput(const QString& path, const QByteArray& content, const WriteOptions& options)
{
    if (path != QLatin1String("-")) {
        writeFileAtomically(path, content, options);
        return;
    }
    checkInputUnchanged(options);
    if (const int failure = StandardOutput::write(content))
        FileErrors::fail(QStringLiteral("標準出力"), failure);
}

void setAfterCommitForTesting(std::function<void(const QString& path)> hook)
{
    g_afterCommit = std::move(hook);
}

}  // namespace ProgramFileWriter
