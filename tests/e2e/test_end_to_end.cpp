// Whole working sessions through the windows: circuit settings, week
// programs of every type, special and year programs, 書込, and 読込 of the
// written file.
#include "TestSupport.h"
#include "app/Form_End.h"
#include "app/Form_Main.h"
#include "app/ui/FileDialog.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"
#include "special/ModalDialogs.h"
#include "store/StoreRoutines.h"
#include "week/Form_Week.h"
#include "year/MonthCalendar.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

using namespace TestSupport;

namespace {

void type(QWidget* window, const char* box, const QString& text)
{
    child<QLineEdit>(window, QLatin1String(box))->setText(text);
}

// One record line, built field by field as the device reads it.
QByteArray line(std::initializer_list<const char*> fields)
{
    QByteArray text;
    for (const char* field : fields)
        text += field;
    if (text.size() != 30)
        qFatal("test line is %lld characters: %s", static_cast<long long>(text.size()), text.constData());
    return text;
}

// Presses on `from`, moves to `to` and releases there.
void dragDays(MonthCalendar* calendar, QDate from, QDate to)
{
    QWidget* grid = calendar->dayGrid();
    const auto send = [grid](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, grid->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(grid, &event);
    };
    send(QEvent::MouseButtonPress, calendar->dayRect(from).center(), Qt::LeftButton);
    send(QEvent::MouseMove, calendar->dayRect(to).center(), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, calendar->dayRect(to).center(), Qt::NoButton);
}

// The program tables, ID order, every column.
QString programTables()
{
    return storeSnapshot().section(QStringLiteral("--"), 1);
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
        enterWeekProgram(week, 4, 0, [](QDialog* d) {  // repeat, Sunday 9:00 to Monday 10:00 every 15 minutes
            type(d, "Text_HourON", "9");
            type(d, "Text_MinuteON", "00");
            type(d, "Text_HourOFF", "10");
            type(d, "Text_MinuteOFF", "00");
            type(d, "Text_Repeat", "15");
            child<QComboBox>(d, "Combo_YobiOFF")->setCurrentIndex(1);
        });
        QCOMPARE(child<QLabel>(week, "Label_ProgramCount")->text(), QStringLiteral("886"));
        QVERIFY(shownMessages().isEmpty());
        click(week, "Button_Close");
        QVERIFY(m_main->isVisible() && !IsFormLoaded("Form_Week"));
    }

    static QByteArray expectedFile()
    {
        QList<QByteArray> records{
            line({"1", "2", "1", "  ", "1", " ", "  ", "10", "3", "12", "00", "00", "  ", "  ", "  ", "      "})};
        for (const char* day : {"1", "2", "3", "4", "5"})
            records << line({"1", "1", "2", "  ", day, " ", "  ", "05", " ", " 8", "30", "00", "  ", "  ", "  ", "      "});
        const char* days[] = {"0", "1", "2", "3", "4", "5", "6"};
        for (int day = 0; day < 7; ++day)
            records << line({"1", "3", "3", "  ", days[day], days[(day + 1) % 7], "  ", "00", " ", "22", "00", "00",
                             " 6", "00", "00", "      "});
        records << line({"1", "4", "4", "  ", "0", "1", "15", "03", " ", " 9", "00", "00", "10", "00", "00", "      "});
        return withTrailer(records);
    }

    std::vector<std::unique_ptr<QDialog>> m_dialogs;

    QDialog* lastDialog(const char* name)
    {
        if (m_dialogs.empty() || m_dialogs.back()->objectName() != QLatin1String(name))
            qFatal("%s not open", name);
        return m_dialogs.back().get();
    }

    void chooseCircuit(QWidget* year, int circuit)
    {
        auto* circuits = child<QComboBox>(year, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText(QString::number(circuit)));
    }

    // Special 1 of circuit 1 (chime) with two times, through 特殊プログラム作成.
    void enterSpecialProgram(QWidget* year)
    {
        chooseCircuit(year, 1);
        click(year, "Button_Special");
        click(lastDialog("Form_SpecialSelect"), "Button_OK");
        QDialog* special = lastDialog("Form_Special");
        for (const char* hour : {"12", "15"}) {
            click(special, "Button_New");
            QDialog* entry = lastDialog("Form_EditTime");
            type(entry, "Text_Hour", hour);
            type(entry, "Text_Minute", "30");
            type(entry, "Text_Chime", "2");
            click(entry, "Button_OK");
        }
        click(special, "Button_Close");
    }

    // Marks the run in the date dialog: option 1 停止 or 2 special 1.
    void markRun(MonthCalendar* calendar, QDate from, QDate to, bool everyYear, int option)
    {
        calendar->setSelectedDate(from);
        dragDays(calendar, from, to);
        QDialog* dialog = lastDialog("Form_EditYear");
        if (everyYear)
            child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(0);
        child<QRadioButton>(dialog, QStringLiteral("Option_Year_%1").arg(option))->setChecked(true);
        if (option == 2)
            child<QComboBox>(dialog, "Combo_Special")->setCurrentIndex(0);
        click(dialog, "Button_OK");
    }

    void enterYearPrograms(QWidget* year, MonthCalendar* calendar)
    {
        markRun(calendar, QDate(2027, 1, 1), QDate(2027, 1, 1), true, 2);  // New Year's Day, every year
        chooseCircuit(year, 2);
        markRun(calendar, QDate(2027, 8, 1), QDate(2027, 8, 31), false, 1);  // August 2027 停止
        QCOMPARE(child<QLabel>(year, "Label_ProgramCount")->text(), QStringLiteral("469"));
        QVERIFY(calendar->isMarked(QDate(2027, 8, 15)));

        // 2027 deleted again by year, then two dated days of special 1.
        click(year, "Button_DeleteYear");
        QDialog* deletion = lastDialog("Form_DeleteYear");
        child<QRadioButton>(deletion, "Option_Delete_1")->setChecked(true);
        child<QComboBox>(deletion, "Combo_Year")->setCurrentIndex(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(deletion, "Button_OK");
        QVERIFY(!calendar->isMarked(QDate(2027, 8, 15)));
        chooseCircuit(year, 1);
        markRun(calendar, QDate(2027, 12, 24), QDate(2027, 12, 25), false, 2);
        QCOMPARE(child<QLabel>(year, "Label_ProgramCount")->text(), QStringLiteral("498"));
    }

private slots:
    void initTestCase() { Form_End::setDisplayMilliseconds(1); }

    void yearSideSurvivesWritingAndReading()
    {
        ScratchStore store;
        Form_Main main;
        m_main = &main;
        main.Form_Load();
        main.show();
        configureCircuits();
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
        click(&main, "Button_Year");
        QWidget* year = FindForm("Form_Year");
        QVERIFY(year);
        auto* calendar = child<MonthCalendar>(year, "MonthView1");
        enterSpecialProgram(year);
        enterYearPrograms(year, calendar);
        QVERIFY(shownMessages().last().endsWith(QStringLiteral("回路2 2027年 のデータを消去しました。")));
        click(year, "Button_Close");
        QVERIFY(main.isVisible() && !IsFormLoaded("Form_Year"));
        while (!m_dialogs.empty())
            m_dialogs.pop_back();
        ModalDialogs::setRunner({});

        const QString path = store.path() + "/year.dat";
        FileDialog::queuePath(path);
        click(&main, "Button_SaveFile");
        // The program tables come back as they were (circuits without
        // programs are not in the file).
        const QString before = programTables();
        QVERIFY(before.contains(QStringLiteral("\n1,1,27,12,24,1\n")));
        MessageBox::queueAnswer(QMessageBox::Yes);
        FileDialog::queuePath(path);
        click(&main, "Button_LoadFile");
        QCOMPARE(programTables(), before);

        // The same calendar after reading.
        click(&main, "Button_Year");
        year = FindForm("Form_Year");
        chooseCircuit(year, 1);
        calendar = child<MonthCalendar>(year, "MonthView1");
        calendar->setSelectedDate(QDate(2027, 12, 1));
        QVERIFY(calendar->isMarked(QDate(2027, 12, 25)));
        QVERIFY(calendar->isMarked(QDate(2028, 1, 1)));
        QCOMPARE(child<QLabel>(year, "Label_ProgramCount")->text(), QStringLiteral("498"));
        click(year, "Button_Close");
        main.hide();
    }

    void sessionWritesTheExactFileAndReadsItBack()
    {
        ScratchStore store(ScratchStore::OnDisk);
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
        const QByteArray written = readBytes(path);
        QCOMPARE(written, expectedFile());

        // Reading the file back gives the same lists, and writing again (the
        // circuit settings included) the same bytes.
        const QString before = programTables();
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);  // discard the programs being edited
        FileDialog::queuePath(path);
        click(&main, "Button_LoadFile");
        QCOMPARE(shownMessages().last(),
                 QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。"));
        QCOMPARE(programTables(), before);

        const QString again = store.path() + "/again.dat";
        FileDialog::queuePath(again);
        click(&main, "Button_SaveFile");
        QCOMPARE(readBytes(again), written);
        main.hide();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
