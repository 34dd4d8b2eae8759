// A whole working session through the windows: circuit settings, week
// programs of every type, 書込, and 読込 of the written file.
#include "TestSupport.h"
#include "app/Form_End.h"
#include "app/Form_Main.h"
#include "app/ui/FileDialog.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Week.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <functional>

using namespace TestSupport;

namespace {

void click(QWidget* window, const char* button)
{
    child<QPushButton>(window, QLatin1String(button))->click();
}

void type(QWidget* window, const char* box, const QString& text)
{
    child<QLineEdit>(window, QLatin1String(box))->setText(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One record line, built field by field as the device reads it.
QByteArray line(std::initializer_list<const char*> fields)
{
    QByteArray text;
    for (const char* field : fields)
        text += field;
    if (text.size() != 30)
        qFatal("test line is %lld characters: %s", static_cast<long long>(text.size()), text.constData());
    return text + "\r\n";
}

QByteArray withChecksum(const QByteArray& records)
{
    unsigned char sum = 0;
    for (char byte : records)
        sum ^= static_cast<unsigned char>(byte);
    return records + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

QStringList weekRows()
{
    QStringList rows;
    QSqlQuery query = ProgramStore::exec("SELECT ID, CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, "
                                         "TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO FROM T_Week ORDER BY ID");
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 12; ++i)
            fields << query.value(i).toString();
        rows << fields.join(',');
    }
    return rows;
}

}  // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    Form_Main* m_main = nullptr;

    void configureCircuits()
    {
        click(m_main, "Button_Initial");
        QWidget* settings = FindForm("Form_Environment");
        QVERIFY(settings);
        QVERIFY(!m_main->isVisible());
        const struct {
            int row;
            int type;
            const char* value;
        } rows[] = {{0, 2, "10"}, {1, 1, "5"}, {2, 3, "0"}, {3, 4, "3"}};
        for (const auto& row : rows) {
            child<QComboBox>(settings, QStringLiteral("Combo_Function_%1").arg(row.row))->setCurrentIndex(row.type);
            child<QLineEdit>(settings, QStringLiteral("Text_Function_%1").arg(row.row))->setText(row.value);
        }
        click(settings, "Button_Close");
        QVERIFY(m_main->isVisible());
        QVERIFY(!IsFormLoaded("Form_Environment"));
    }

    // Opens the week list, chooses circuit and day, presses 新規 and lets
    // `fill` complete the entry dialog before OK.
    void enterWeekProgram(Form_Week* week, int circuit, int day, const std::function<void(QDialog*)>& fill)
    {
        auto* circuits = child<QComboBox>(week, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findData(circuit));
        child<QComboBox>(week, "Combo_Yobi")->setCurrentIndex(day);
        week->openDialog = [fill](QDialog* dialog) {
            dialog->show();
            fill(dialog);
            click(dialog, "Button_OK");
            delete dialog;
        };
        click(week, "Button_New");
    }

    void enterWeekPrograms()
    {
        click(m_main, "Button_Week");
        auto* week = qobject_cast<Form_Week*>(FindForm("Form_Week"));
        QVERIFY(week);
        enterWeekProgram(week, 1, 1, [](QDialog* d) {  // chime, Monday 12:00:00, tune 3
            type(d, "Text_Hour", "12");
            type(d, "Text_Minute", "00");
            type(d, "Text_Second", "00");
            type(d, "Text_Chime", "3");
        });
        enterWeekProgram(week, 2, 7, [](QDialog* d) {  // time signal, weekdays 8:30 (full-width digits)
            type(d, "Text_Hour", "８");
            type(d, "Text_Minute", "３０");
        });
        enterWeekProgram(week, 3, 8, [](QDialog* d) {  // timer, every day 22:00 to 06:00
            type(d, "Text_HourON", "22");
            type(d, "Text_MinuteON", "00");
            type(d, "Text_HourOFF", "6");
            type(d, "Text_MinuteOFF", "00");
        });
        enterWeekProgram(week, 4, 0, [](QDialog* d) {  // repeat, Sunday 9:00 to 10:00 every 15 minutes
            type(d, "Text_HourON", "9");
            type(d, "Text_MinuteON", "00");
            type(d, "Text_HourOFF", "10");
            type(d, "Text_MinuteOFF", "00");
            type(d, "Text_Repeat", "15");
            child<QComboBox>(d, "Combo_YobiOFF")->setCurrentIndex(0);
        });
        QCOMPARE(child<QLabel>(week, "Label_ProgramCount")->text(), QStringLiteral("886"));
        QVERIFY(shownMessages().isEmpty());
        click(week, "Button_Close");
        QVERIFY(m_main->isVisible());
    }

    static QByteArray expectedFile()
    {
        QByteArray records = line({"1", "2", "1", "  ", "1", " ", "  ", "10", "3", "12", "00", "00", "  ", "  ",
                                   "  ", "      "});
        for (const char* day : {"1", "2", "3", "4", "5"})
            records += line({"1", "1", "2", "  ", day, " ", "  ", "05", " ", " 8", "30", "00", "  ", "  ", "  ",
                             "      "});
        const char* days[] = {"0", "1", "2", "3", "4", "5", "6"};
        for (int day = 0; day < 7; ++day)
            records += line({"1", "3", "3", "  ", days[day], days[(day + 1) % 7], "  ", "00", " ", "22", "00", "00",
                             " 6", "00", "00", "      "});
        records += line({"1", "4", "4", "  ", "0", "0", "15", "03", " ", " 9", "00", "00", "10", "00", "00",
                         "      "});
        return withChecksum(records);
    }

private slots:
    void initTestCase() { Form_End::setDisplayMilliseconds(1); }

    void sessionWritesTheExactFileAndReadsItBack()
    {
        ScratchStore store;
        Form_Main main;
        m_main = &main;
        main.Form_Load();
        main.show();

        configureCircuits();
        enterWeekPrograms();
        // Nothing the windows did waits for a later commit: a killed editor
        // would leave exactly this for the next start to offer back.
        QVERIFY(WeekRowCount() > 0);
        QCOMPARE(committedSnapshot(), storeSnapshot());

        const QString path = store.path() + "/WZ48PROG.dat";
        FileDialog::queuePath(path);
        click(&main, "Button_SaveFile");
        QCOMPARE(shownMessages().last(), QStringLiteral("ファイルの保存|プログラムファイルを作成しました。"));
        const QByteArray written = readFile(path);
        QCOMPARE(written, expectedFile());

        // Reading the file back gives the same lists, and writing again the same bytes.
        const QStringList before = weekRows();
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);  // discard the programs being edited
        FileDialog::queuePath(path);
        click(&main, "Button_LoadFile");
        QCOMPARE(shownMessages().last(),
                 QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。"));
        QCOMPARE(weekRows(), before);
        QCOMPARE(CircuitSettings[1].Program, qint16(2));
        QCOMPARE(CircuitSettings[4].PulseTime, qint16(3));

        const QString again = store.path() + "/again.dat";
        FileDialog::queuePath(again);
        click(&main, "Button_SaveFile");
        QCOMPARE(readFile(again), written);
        main.hide();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
