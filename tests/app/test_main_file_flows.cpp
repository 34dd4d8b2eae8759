#include "app/Form_Main.h"
#include "app/ui/FileDialog.h"
#include "progfile/ProgramFileWriter.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QString kReadQuestion = QStringLiteral("データの読込|設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？");
const QString kReadDone = QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。");
const QString kNoFile = QStringLiteral("ファイルを開く|ファイルが選択されていません。");
const QString kNewQuestion = QStringLiteral("新規作成|現在、読み込まれているデータを破棄して新規で作成しますか？");
const QString kSampleStamp = QStringLiteral(" 2014/05/03 07:08.09");

}  // namespace

class TestMainFileFlows : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Main> m_form;

    QPushButton* button(const char* name) { return m_form->findChild<QPushButton*>(QLatin1String(name)); }
    QRadioButton* option(int index)
    {
        return m_form->findChild<QRadioButton*>(QStringLiteral("Option_FileEdit_%1").arg(index));
    }
    QString timeStamp() { return m_form->findChild<QLabel*>(QStringLiteral("Label_FileTimeStamp"))->text(); }
    QString pathOf(const char* name) { return m_store->path() + QLatin1Char('/') + QLatin1String(name); }
    // A one-line file with a known time stamp.
    QString sampleFile()
    {
        QFile file(writeBytes(pathOf("WZ48PROG.dat"), kWeekLine + "\r\n*16\r\n"));
        if (!file.open(QIODevice::ReadWrite)
            || !file.setFileTime(QDateTime(QDate(2014, 5, 3), QTime(7, 8, 9)), QFileDevice::FileModificationTime))
            qFatal("cannot set the time stamp of %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        m_form = std::make_unique<Form_Main>();
        m_form->Form_Load();
        m_form->show();
        scriptDialogs();
    }

    void cleanup()
    {
        m_form.reset();
        m_store.reset();
    }

    void save()
    {
        setCircuit(5, 3, 0);
        addYearRow(5, 20, 1, 2, 0);
        button("Button_SaveFile")->click();  // no file name
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("保存先の指定|ファイル名が指定されていません。")});

        // A "folder" that is a plain file cannot be written into, root included.
        scriptDialogs();
        const QString plain = writeBytes(pathOf("plain"), "old");
        FileDialog::queuePath(plain + QStringLiteral("/WZ48PROG.dat"));
        button("Button_SaveFile")->click();
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(shownMessages()[0].startsWith(QStringLiteral("Error|") + plain));

        scriptDialogs();
        CircuitSettings[5] = CircuitSetting{};  // saving reloads the settings from the store
        const QString path = writeBytes(pathOf("WZ48PROG.dat"), "old");
        FileDialog::queuePath(path);
        button("Button_SaveFile")->click();
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("ファイルの保存|プログラムファイルを作成しました。")});
        QCOMPARE(readBytes(path), ProgramFileWriter::buildProgramFile());
        QCOMPARE(CircuitSettings[5].Program, qint16(3));

        // A disk that kept fewer bytes than it reported: the file is read back,
        // so 書込 fails loudly instead of reporting success.
        scriptDialogs();
        ProgramFileWriter::setAfterCommitForTesting([](const QString& written) { QFile(written).resize(8); });
        FileDialog::queuePath(path);
        button("Button_SaveFile")->click();
        ProgramFileWriter::setAfterCommitForTesting({});
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY2(shownMessages()[0].startsWith(QStringLiteral("Error|") + path), qPrintable(shownMessages()[0]));
    }

    // With programs in the store, 編集 asks before reading over them, as 読込
    // does. Once a file is read, 新規 asks before discarding it.
    void readAndDiscard()
    {
        addWeekRow(2, 0, 1, 0, 7, 0, 0);
        addYearRow(5, 20, 1, 2, 0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        FileDialog::queuePath(sampleFile());
        option(1)->click();
        QCOMPARE(shownMessages(), (QStringList{kReadQuestion, kReadDone}));
        QCOMPARE(timeStamp(), kSampleStamp);
        QCOMPARE(YearRowCount(), 0);
        QCOMPARE(WeekRowCount(), 1);
        QVERIFY(m_form->editModeActive());

        // 読込 without a file while editing offers 新規; its default Cancel keeps
        // the data, the time stamp and 編集.
        scriptDialogs();
        MessageBox::queueAnswer(QMessageBox::Yes);
        button("Button_LoadFile")->click();
        QCOMPARE(shownMessages(), (QStringList{kReadQuestion, kNoFile, kNewQuestion}));
        QVERIFY(option(1)->isChecked());
        QCOMPARE(WeekRowCount(), 1);
        QCOMPARE(timeStamp(), kSampleStamp);

        MessageBox::queueAnswer(QMessageBox::Ok);
        option(0)->click();
        QCOMPARE(WeekRowCount(), 0);
        QCOMPARE(timeStamp(), QString());
        QVERIFY(!m_form->editModeActive());
    }

    void refusedFileKeepsStoreAndTimeStamp_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("invalid") << QByteArray("*01\r\n")
                                 << QStringLiteral("ファイルを開く|データが不正です。読み込みできません。");
        QTest::newRow("over capacity") << (kWeekLine + "\r\n").repeated(901)
                                       << QStringLiteral("お知らせ|設定可能プログラム数を超えたため、読み込みできませんでした。");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("Error|");
    }

    void refusedFileKeepsStoreAndTimeStamp()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        FileDialog::queuePath(sampleFile());
        button("Button_LoadFile")->click();
        QCOMPARE(timeStamp(), kSampleStamp);
        const QString before = storeSnapshot();
        const QString path = pathOf("bad.dat");
        if (!content.isEmpty())
            writeBytes(path, content);
        scriptDialogs();
        MessageBox::queueAnswer(QMessageBox::Yes);
        FileDialog::queuePath(path);
        button("Button_LoadFile")->click();
        QCOMPARE(shownMessages().size(), 2);  // データの読込, then the refusal
        QVERIFY2(shownMessages()[1].startsWith(message), qPrintable(shownMessages()[1]));
        QCOMPARE(storeSnapshot(), before);
        QCOMPARE(timeStamp(), kSampleStamp);
        QVERIFY(option(1)->isChecked());
        QVERIFY(m_form->editModeActive());
    }
};

QTEST_MAIN(TestMainFileFlows)
#include "test_main_file_flows.moc"
