#include "app/Form_Main.h"
#include "app/ui/FileDialog.h"
#include "progfile/Checksum.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlRecord>
#include <QTest>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QString kReadQuestion = QStringLiteral("データの読込|設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？");
const QString kReadDone = QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。");
const QString kNoFile = QStringLiteral("ファイルを開く|ファイルが選択されていません。");
const QString kOpenTitle = QStringLiteral("ファイルを開く WZ48PROG.dat");

QString storeSnapshot()
{
    QStringList rows;
    for (const char* sql : {"SELECT * FROM T_Setting ORDER BY CircuitNO", "SELECT * FROM T_Week ORDER BY ID",
                            "SELECT * FROM T_Year ORDER BY ID", "SELECT * FROM T_YearE ORDER BY ID"}) {
        QSqlQuery query = ProgramStore::exec(QLatin1String(sql));
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

class TestMainFileFlows : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void saveWithoutNameWritesNothing();
    void saveWritesStoreContent();
    void saveFailureShowsErrorBox();
    void saveRefusesAFileItCouldNotReadBack();
    void loadAsksOnceAndNoKeepsEverything();
    void loadReadsFileAndSetsTimeStamp();
    void refusedFileKeepsStoreAndTimeStamp_data();
    void refusedFileKeepsStoreAndTimeStamp();
    void missingFileShowsErrorAndKeepsStore();
    void editChoiceAsksBeforeDiscarding();
    void editChoiceCancelledReturnsToNew();
    void newChoiceAfterReadAsksFirst();
    void loadCancelledWhileEditingAsksNew();

private:
    QPushButton* button(const char* name) { return m_form->findChild<QPushButton*>(QLatin1String(name)); }
    QRadioButton* option(int index)
    {
        return m_form->findChild<QRadioButton*>(QStringLiteral("Option_FileEdit_%1").arg(index));
    }
    QString timeStamp() { return m_form->findChild<QLabel*>(QStringLiteral("Label_FileTimeStamp"))->text(); }
    QString writeFile(const QString& name, const QByteArray& content);
    void fillStore();
    void readSampleFile();

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Main> m_form;
};

void TestMainFileFlows::init()
{
    m_store = std::make_unique<ScratchStore>();
    m_form = std::make_unique<Form_Main>();
    m_form->Form_Load();
    m_form->show();
    scriptDialogs();
}

void TestMainFileFlows::cleanup()
{
    m_form.reset();
    m_store.reset();
}

QString TestMainFileFlows::writeFile(const QString& name, const QByteArray& content)
{
    const QString path = m_store->path() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

void TestMainFileFlows::fillStore()
{
    setCircuit(2, 1, 3);
    setCircuit(5, 3, 0);
    addWeekRow(2, 0, 1, 0, 7, 0, 0);
    addYearRow(5, 20, 1, 2, 0);
}

// Reads a one-line file through 読込 with a known time stamp.
void TestMainFileFlows::readSampleFile()
{
    const QString path = writeFile(QStringLiteral("WZ48PROG.dat"), kWeekLine + "\r\n*16\r\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2014, 5, 3), QTime(7, 8, 9)), QFileDevice::FileModificationTime));
    file.close();
    FileDialog::queuePath(path);
    button("Button_LoadFile")->click();
    QCOMPARE(timeStamp(), QStringLiteral(" 2014/05/03 07:08.09"));
    scriptDialogs();
}

void TestMainFileFlows::saveWithoutNameWritesNothing()
{
    button("Button_SaveFile")->click();
    QCOMPARE(FileDialog::titlesShown(), QStringList{QStringLiteral("保存先の指定")});
    QCOMPARE(shownMessages(), QStringList{QStringLiteral("保存先の指定|ファイル名が指定されていません。")});
    QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
}

void TestMainFileFlows::saveWritesStoreContent()
{
    fillStore();
    const QString path = writeFile(QStringLiteral("WZ48PROG.dat"), "old");
    FileDialog::queuePath(path);
    button("Button_SaveFile")->click();
    QCOMPARE(shownMessages(), QStringList{QStringLiteral("ファイルの保存|プログラムファイルを作成しました。")});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), ProgramFileWriter::buildProgramFile());
    QCOMPARE(CircuitSettings[5].Program, qint16(3));
}

void TestMainFileFlows::saveFailureShowsErrorBox()
{
    // The "folder" is a plain file, which no user (root included) can write
    // into; the plain file itself must survive.
    const QString plain = writeFile(QStringLiteral("plain"), "old");
    FileDialog::queuePath(plain + QStringLiteral("/WZ48PROG.dat"));
    button("Button_SaveFile")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Error"));
    QVERIFY(MessageBox::lastShown().text.contains(QStringLiteral("WZ48PROG.dat")));
    QFile file(plain);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

// A file of year dates only may leave a circuit's output time blank (0 s).
// A week program added afterwards must not end in a file that the editor
// itself refuses, reported as written.
void TestMainFileFlows::saveRefusesAFileItCouldNotReadBack()
{
    const QByteArray yearOnly = "311 0      " + QByteArray(13, ' ') + "140503\r\n";
    FileDialog::queuePath(writeFile(QStringLiteral("year.dat"), yearOnly));
    button("Button_LoadFile")->click();
    QCOMPARE(shownMessages(), QStringList{kReadDone});
    QCOMPARE(CircuitSettings[1].Program, qint16(1));
    QCOMPARE(CircuitSettings[1].PulseTime, qint16(0));
    addWeekRow(1, 0, 1, 0, 8, 0, 0);

    scriptDialogs();
    const QString path = writeFile(QStringLiteral("WZ48PROG.dat"), "old");
    FileDialog::queuePath(path);
    button("Button_SaveFile")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Error"));
    QVERIFY(MessageBox::lastShown().text.startsWith(QStringLiteral("回路1の")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

void TestMainFileFlows::loadAsksOnceAndNoKeepsEverything()
{
    fillStore();
    const QString before = storeSnapshot();
    MessageBox::queueAnswer(QMessageBox::No);
    button("Button_LoadFile")->click();
    QCOMPARE(shownMessages(), QStringList{kReadQuestion});
    QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
    QVERIFY(FileDialog::titlesShown().isEmpty());
    QCOMPARE(storeSnapshot(), before);
    QVERIFY(option(0)->isChecked());
    QVERIFY(!m_form->editModeActive());
}

void TestMainFileFlows::loadReadsFileAndSetsTimeStamp()
{
    setCircuit(7, 4, 9);  // settings alone are no data: no question
    CircuitSettings[3] = CircuitSetting{44, 4, 7};
    readSampleFile();
    QVERIFY(option(1)->isChecked());
    QVERIFY(m_form->editModeActive());
    QCOMPARE(WeekRowCount(), 1);
    QCOMPARE(count(QStringLiteral("SELECT Program FROM T_Setting WHERE CircuitNO = 7")), 0);
    QCOMPARE(CircuitSettings[3].Program, qint16(0));
    QCOMPARE(CircuitSettings[2].PulseTime, qint16(10));
}

void TestMainFileFlows::refusedFileKeepsStoreAndTimeStamp_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("invalid") << QByteArray("*01\r\n")
                             << QStringLiteral("ファイルを開く|データが不正です。読み込みできません。");
    QTest::newRow("over capacity") << (kWeekLine + "\r\n").repeated(901)
                                   << QStringLiteral("お知らせ|設定可能プログラム数を超えたため、読み込みできませんでした。"
                                                     "\r\n本体のバージョンが新しいため、本ソフトウェアのバージョンアッ"
                                                     "プが必要です。\r\n最新プログラムは弊社ホームページより入手できます。");
}

void TestMainFileFlows::refusedFileKeepsStoreAndTimeStamp()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    readSampleFile();
    const QString before = storeSnapshot();
    MessageBox::queueAnswer(QMessageBox::Yes);
    FileDialog::queuePath(writeFile(QStringLiteral("bad.dat"), content));
    button("Button_LoadFile")->click();
    QCOMPARE(shownMessages(), (QStringList{kReadQuestion, message}));
    QCOMPARE(storeSnapshot(), before);
    QCOMPARE(timeStamp(), QStringLiteral(" 2014/05/03 07:08.09"));
    QVERIFY(option(1)->isChecked());
    QVERIFY(m_form->editModeActive());
}

void TestMainFileFlows::missingFileShowsErrorAndKeepsStore()
{
    fillStore();
    const QString before = storeSnapshot();
    MessageBox::queueAnswer(QMessageBox::Yes);
    FileDialog::queuePath(m_store->path() + QStringLiteral("/missing.dat"));
    button("Button_LoadFile")->click();
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Error"));
    QVERIFY(MessageBox::lastShown().text.contains(QStringLiteral("missing.dat")));
    QCOMPARE(storeSnapshot(), before);
    QCOMPARE(timeStamp(), QString());
    QVERIFY(option(1)->isChecked());
    QVERIFY(m_form->editModeActive());
}

void TestMainFileFlows::editChoiceAsksBeforeDiscarding()
{
    fillStore();
    const QString before = storeSnapshot();
    MessageBox::queueAnswer(QMessageBox::No);
    option(1)->click();
    QCOMPARE(shownMessages(), QStringList{kReadQuestion});
    QVERIFY(FileDialog::titlesShown().isEmpty());
    QVERIFY(option(0)->isChecked());
    QVERIFY(!m_form->editModeActive());
    QCOMPARE(storeSnapshot(), before);

    scriptDialogs();
    MessageBox::queueAnswer(QMessageBox::Yes);
    FileDialog::queuePath(writeFile(QStringLiteral("one.dat"), kWeekLine + "\r\n"));
    option(1)->click();
    QCOMPARE(shownMessages(), (QStringList{kReadQuestion, kReadDone}));
    QCOMPARE(FileDialog::titlesShown(), QStringList{kOpenTitle});
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_Year")), 0);
    QVERIFY(m_form->editModeActive());
}

void TestMainFileFlows::editChoiceCancelledReturnsToNew()
{
    option(1)->click();
    QCOMPARE(shownMessages(), QStringList{kNoFile});
    QVERIFY(option(0)->isChecked());
    QVERIFY(!m_form->editModeActive());
    QCOMPARE(timeStamp(), QString());
    option(1)->click();
    QCOMPARE(FileDialog::titlesShown(), (QStringList{kOpenTitle, kOpenTitle}));
}

void TestMainFileFlows::newChoiceAfterReadAsksFirst()
{
    readSampleFile();
    const QString question = QStringLiteral("新規作成|現在、読み込まれているデータを破棄して新規で作成しますか？");
    option(0)->click();  // Cancel is the default answer
    QCOMPARE(shownMessages(), QStringList{question});
    QVERIFY(option(1)->isChecked());
    QVERIFY(FileDialog::titlesShown().isEmpty());
    QCOMPARE(WeekRowCount(), 1);
    QCOMPARE(timeStamp(), QStringLiteral(" 2014/05/03 07:08.09"));

    MessageBox::queueAnswer(QMessageBox::Ok);
    option(0)->click();
    QCOMPARE(WeekRowCount(), 0);
    QCOMPARE(timeStamp(), QString());
    QVERIFY(!m_form->editModeActive());
}

void TestMainFileFlows::loadCancelledWhileEditingAsksNew()
{
    readSampleFile();
    MessageBox::queueAnswer(QMessageBox::Yes);  // データの読込
    button("Button_LoadFile")->click();
    QCOMPARE(shownMessages(),
             (QStringList{kReadQuestion, kNoFile,
                          QStringLiteral("新規作成|現在、読み込まれているデータを破棄して新規で作成しますか？")}));
    // Cancel keeps the data and returns to 編集.
    QVERIFY(option(1)->isChecked());
    QCOMPARE(WeekRowCount(), 1);
}

QTEST_MAIN(TestMainFileFlows)
#include "test_main_file_flows.moc"
