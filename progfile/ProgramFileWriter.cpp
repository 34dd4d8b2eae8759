#include "progfile/ProgramFileWriter.h"

#include "progfile/OutputLock.h"
#include "progfile/ProgramFileFormat.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/SettingTable.h"

#include <QFile>
#include <optional>

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

void appendWeekLines(QByteArray& content, FileCheckSum& sum, const SettingTable& settings, ScheduleDocument& document)
{
    for (const WeekRow& row : ScheduleModel::weekRows(document, ScheduleModel::Order::Numbered))
        appendLine(content, sum, weekLine(row, circuitOf(settings, row.CircuitNO)), row.CircuitNO);
}

void appendYearLines(QByteArray& content, FileCheckSum& sum, const SettingTable& settings, const QList<YearRow>& rows,
                     bool dated)
{
    for (const YearRow& row : rows) {
        const CircuitType circuit = circuitOf(settings, row.CircuitNO);
        appendLine(content, sum, dated ? yearLine(row, circuit) : everyYearLine(row, circuit), row.CircuitNO);
    }
}

using Platform::OutputTarget;

// A replacement would leave the file's other names (hard links) with the
// old content and break the tie silently; a read-only file is one the user
// protected. Either is replaced only when the user says so.
void checkReplaceable(const QString& path, const OutputTarget& target, bool force)
{
    if (!target.exists || force)
        return;
    if (target.readOnly)
        Platform::refuse(path, QStringLiteral("読み取り専用のファイルのため書き込めません。"));
    if (target.hardLinked)
        Platform::refuse(path,
                         QStringLiteral("ほかの名前（ハードリンク）からも使われているファイルのため書き込めません。"));
}

void checkInputUnchanged(const ProgramFileWriter::WriteOptions& options)
{
    if (options.unchangedInput.isEmpty() || Platform::currentStamp(options.unchangedInput) == options.inputStamp)
        return;
    throw ProgramFileError(options.unchangedInput
                           + QStringLiteral(": 読み込んだ後にほかから変更されたため、書き込みを取りやめました。"));
}

// Success is reported only for a file that holds what was meant to be
// written, whatever the layers below said: no byte less, none more.
void verifyWritten(const QString& path, const OutputTarget& target, const QByteArray& content)
{
    if (Platform::readBack(path, target, content.size() + 1) != content)
        Platform::refuse(
            path, QStringLiteral("書き込んだ内容を読み返すと一致しません。ファイルは正しく保存されていません。"));
}

}  // namespace

namespace ProgramFileWriter {

QByteArray buildProgramFile(ScheduleDocument& document)
{
    const SettingTable settings = ReadSettingTable(document);
    QByteArray content;
    FileCheckSum sum;
    appendWeekLines(content, sum, settings, document);
    appendYearLines(content, sum, settings, ScheduleModel::datedEntries(document, ScheduleModel::Order::Numbered),
                    true);
    appendYearLines(content, sum, settings, ScheduleModel::everyYearEntries(document, ScheduleModel::Order::Numbered),
                    false);
    content += trailerLine(sum);
    return content;
}

void SaveProgramFile(ScheduleDocument& document, const QString& path, std::function<void(const QString&)> afterCommit)
{
    WriteOptions options;
    options.waitForOthers = false;
    options.afterCommit = std::move(afterCommit);
    writeFileAtomically(path, buildProgramFile(document), options);
}

void writeFileAtomically(const QString& path, const QByteArray& content, const WriteOptions& options)
{
    std::optional<OutputLock> lock;
    if (!options.heldLock)
        lock.emplace(path, options.waitForOthers ? OutputLock::Wait::AFewSeconds : OutputLock::Wait::No);
    const OutputTarget target = Platform::resolveOutput(path);
    checkReplaceable(path, target, options.force);
    Platform::Replacement replacement(path, target);
    replacement.write(content);
    checkInputUnchanged(options);
    replacement.commit();
    if (options.afterCommit)
        options.afterCommit(QFile::decodeName(target.native));
    verifyWritten(path, target, content);
}

void writeCommandOutput(const QString& path, const QByteArray& content, const WriteOptions& options)
{
    if (!OutputLock::isStandardOutput(path)) {
        writeFileAtomically(path, content, options);
        return;
    }
    checkInputUnchanged(options);
    if (const int failure = Platform::writeStandardOutput(content))
        Platform::fail(QStringLiteral("標準出力"), failure);
}

}  // namespace ProgramFileWriter
