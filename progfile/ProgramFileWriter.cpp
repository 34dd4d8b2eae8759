#include "progfile/ProgramFileWriter.h"

#include "progfile/ProgramFileFormat.h"
#include "store/SettingTable.h"
#include "store/ProgramStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// The file a write to `path` replaces. A symbolic link stays and its
// target is replaced, atomically in the target's folder. A device, pipe or
// folder is never replaced by a regular file.
QString writableTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink() && depth < 32; ++depth)
        info.setFile(info.symLinkTarget());
    if (info.isSymLink())
        throw ProgramFileError(QStringLiteral("%1: リンクをたどれないため書き込めません。").arg(path));
    if (info.exists() && !info.isFile())
        throw ProgramFileError(QStringLiteral("%1: 通常のファイルではないため書き込めません。").arg(path));
    return info.filePath();
}

// A short write is followed by a write of the rest, which then fails with
// the system's reason (a full disk gives "No space left on device").
void writeAll(QSaveFile& file, const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0)
            throw ProgramFileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        done += qsizetype(written);
    }
}

// Success is reported only for a file that holds what was meant to be
// written, whatever the layers below said.
void verifyWritten(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramFileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.read(content.size() + 1) != content)
        throw ProgramFileError(
            QStringLiteral("%1: 書き込んだ内容を読み返すと一致しません。ファイルは正しく保存されていません。").arg(path));
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

void writeFileAtomically(const QString& path, const QByteArray& content)
{
    const QString target = writableTarget(path);
    QSaveFile file(target);
    // Unbuffered: each write reaches the system at once, so a full disk
    // shows in its result. Through Qt's buffer, bytes that did not fit were
    // dropped while commit() still succeeded.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ProgramFileError(QStringLiteral("%1: %2").arg(target, file.errorString()));
    writeAll(file, content);
    if (!file.flush() || !file.commit())
        throw ProgramFileError(QStringLiteral("%1: %2").arg(target, file.errorString()));
    if (g_afterCommit)
        g_afterCommit(target);
    verifyWritten(target, content);
}

void setAfterCommitForTesting(std::function<void(const QString& path)> hook)
{
    g_afterCommit = std::move(hook);
}

}  // namespace ProgramFileWriter
