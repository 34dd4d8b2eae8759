#include "TestSupport.h"

#include "ui/FileDialog.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlRecord>
#include <QTest>

namespace {

// A test program runs one test at a time: the one it works on.
std::unique_ptr<ScheduleDocument> g_document;
std::unique_ptr<UndoHistory> g_history;

}  // namespace

namespace Scratch {

QString open(const QString& location)
{
    close();
    g_document = std::make_unique<ScheduleDocument>(location);
    g_history = std::make_unique<UndoHistory>(*g_document);
    return g_document->keptAside();
}

void close()
{
    g_history.reset();
    g_document.reset();
}

bool isOpen()
{
    return g_document != nullptr;
}

ScheduleDocument& document()
{
    if (!g_document)
        throw StoreError(QStringLiteral("データベースが開かれていません。"));
    return *g_document;
}

UndoHistory& history()
{
    document();
    return *g_history;
}

QSqlDatabase database()
{
    return document().database();
}

QString location()
{
    return g_document ? g_document->location() : QString();
}

QSqlQuery exec(const QString& sql, const QVariantList& values)
{
    return document().exec(sql, values);
}

QVariant scalar(const QString& sql, const QVariantList& values, const QVariant& fallback)
{
    return document().scalar(sql, values, fallback);
}

}  // namespace Scratch

namespace TestSupport {

ScratchStore::ScratchStore(Where where)
    : m_dir(std::make_unique<QTemporaryDir>())
{
    Scratch::open(where == OnDisk ? m_dir->filePath(QStringLiteral("wz48prg.db")) : QStringLiteral(":memory:"));
    scriptDialogs();
}

ScratchStore::~ScratchStore()
{
    ModalDialogs::setRunner({});
    Scratch::close();
}

QString ScratchStore::path() const
{
    return m_dir->path();
}

void scriptDialogs()
{
    MessageBox::setScripted(true);
    MessageBox::clearShown();
    FileDialog::setScripted(true);
    FileDialog::clearTitlesShown();
}

void addWeekRow(int circuit, int special, int yobiOn, int yobiOff, int onH, int onM, int onS, int offH, int offM,
                int repeat, int chime)
{
    Scratch::exec(QStringLiteral("INSERT INTO T_Week (CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, "
                                      "TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                       {circuit, special, yobiOn, yobiOff, onH, onM, onS, offH, offM, repeat, chime});
}

void addYearRow(int circuit, int year, int month, int day, int special)
{
    Scratch::exec(
        QStringLiteral("INSERT INTO T_Year (CircuitNO, Year, Month, Day, SpecialNO) VALUES (?,?,?,?,?)"),
        {circuit, year, month, day, special});
}

void addEveryYearRow(int circuit, int month, int day, int special)
{
    Scratch::exec(QStringLiteral("INSERT INTO T_YearE (CircuitNO, Month, Day, SpecialNO) VALUES (?,?,?,?)"),
                       {circuit, month, day, special});
}

void addRows(const QList<QList<int>>& rows)
{
    for (QList<int> r : rows) {
        if (r.size() == 4)
            addEveryYearRow(r[0], r[1], r[2], r[3]);
        else if (r.size() == 5)
            addYearRow(r[0], r[1], r[2], r[3], r[4]);
        else
            addWeekRow(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r.value(7), r.value(8), r.value(9), r.value(10));
    }
}

void setCircuit(int circuit, int program, int pulse, int chime)
{
    Scratch::exec(QStringLiteral("UPDATE T_Setting SET Program = ?, PulseTime = ?, Chime = ? WHERE CircuitNO = ?"),
                       {program, pulse, chime, circuit});
}

void setOneCircuitOfEachType()
{
    setCircuit(1, 1, 5);
    setCircuit(2, 2, 10);
    setCircuit(3, 3, 0);
    setCircuit(4, 4, 3);
}

void fillWeekTo(int rows)
{
    // One commit: the store syncs every commit to disk.
    Transaction transaction(Scratch::document());
    for (int i = Scratch::scalar(QStringLiteral("SELECT COUNT(*) FROM T_Week")).toInt(); i < rows; ++i)
        addWeekRow(8, 0, i % 7, 0, i / 60 % 24, i % 60, 0);
    transaction.commit();
}

int count(const QString& sql, const QVariantList& values)
{
    return Scratch::scalar(sql, values, 0).toInt();
}

void click(QWidget* window, const char* button)
{
    child<QAbstractButton>(window, QLatin1String(button))->click();
}

void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window))
        qFatal("window did not become active");
}

QStringList shownMessages()
{
    QStringList result;
    for (const MessageBox::Shown& box : MessageBox::shown())
        result << box.title + QLatin1Char('|') + box.text;
    return result;
}

namespace {

QString snapshotThrough(const QSqlDatabase& db)
{
    QStringList rows;
    for (const char* sql : {"SELECT * FROM T_Setting ORDER BY CircuitNO", "SELECT * FROM T_Week ORDER BY ID",
                            "SELECT * FROM T_Year ORDER BY ID", "SELECT * FROM T_YearE ORDER BY ID"}) {
        QSqlQuery query(db);
        if (!query.exec(QLatin1String(sql)))
            qFatal("snapshot: %s", qPrintable(query.lastError().text()));
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            rows << values.join(QLatin1Char(','));
        }
        rows << QStringLiteral("--");
    }
    return rows.join(QLatin1Char('\n'));
}

}  // namespace

QString storeSnapshot()
{
    return snapshotThrough(Scratch::database());
}

QString committedSnapshot()
{
    const QString name = QStringLiteral("another process");
    QString snapshot;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(Scratch::location());
        if (!other.open())
            qFatal("cannot open the store a second time");
        snapshot = snapshotThrough(other);
    }
    QSqlDatabase::removeDatabase(name);
    return snapshot;
}

QString writeBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QByteArray withTrailer(const QList<QByteArray>& lines)
{
    QByteArray content;
    for (const QByteArray& line : lines)
        content += line + "\r\n";
    quint8 sum = 0;
    for (const char byte : content)
        sum ^= quint8(byte);
    return content + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

QString editorBinary()
{
    return qEnvironmentVariable("WZ_EDITOR");
}

ProcessRun runEditor(const QStringList& args, const QString& home, const QString& redirect)
{
    return runProcess("sh", QStringList{"-c", "exec \"$0\" \"$@\" " + redirect, editorBinary()} + args, home);
}

ProcessRun runProcess(const QString& program, const QStringList& args, const QString& home, const QString& workingDir)
{
    QProcess process;
    if (!home.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        process.setProcessEnvironment(env);
    }
    process.setWorkingDirectory(workingDir);
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    ProcessRun result;
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.ms = timer.elapsed();
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

}  // namespace TestSupport
