// A whole session through the windows on a store file as the editor keeps it: circuit settings,
// week programs of every type, special and year programs, a listing printed, 書込, and 読込 of the file.
#include "TestSupport.h"
#include "app/Form_End.h"
#include "app/Form_Main.h"
#include "print/PrintOutput.h"
#include "progfile/ProgramFileWriter.h"
#include "ui/FileDialog.h"
#include "ui/WindowUtil.h"
#include "week/Form_Week.h"
#include "year/MonthCalendar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>
#include <QDateEdit>
#include <QDialog>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QSysInfo>
#include <QtTest>

using namespace TestSupport;

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Form_End::setDisplayMilliseconds(1); }

    void sessionWritesTheExactFileAndReadsItBack()
    {
        ScratchStore store(ScratchStore::OnDisk);
        Form_Main main(Scratch::history());
        main.Form_Load();
        main.show();

        // Circuits 1 to 4 as チャイム 10 s, 報時 5 s, タイマ and 繰返し 3 s.
        setCircuits(main, {{2, "10"}, {1, "5"}, {3, "0"}, {4, "3"}});

        // One program of each type through 週間プログラム: circuit, Combo_Yobi, the
        // entry dialog's boxes and, for the repeat, its end day.
        struct Entry
        {
            int circuit;
            int day;
            QList<std::pair<const char*, QString>> boxes;
            int endDay = -1;
        };
        const Entry entries[] = {
            {1, 1, {{"Text_Hour", "12"}, {"Text_Minute", "00"}, {"Text_Second", "00"}, {"Text_Chime", "3"}}},
            {2, 7, {{"Text_Hour", "８"}, {"Text_Minute", "３０"}}},  // weekdays, full-width digits
            {3, 8, {{"Text_HourON", "22"}, {"Text_MinuteON", "00"}, {"Text_HourOFF", "6"}, {"Text_MinuteOFF", "00"}}},
            {4, 0, {{"Text_HourON", "9"}, {"Text_MinuteON", "00"}, {"Text_HourOFF", "10"}, {"Text_MinuteOFF", "00"},
                    {"Text_Repeat", "15"}}, 1}};  // Sunday 9:00 to Monday 10:00
        click(&main, "Button_Week");
        auto* week = qobject_cast<Form_Week*>(FindForm("Form_Week"));
        for (const Entry& entry : entries) {
            auto* circuit = child<QComboBox>(week, "Combo_Circuit");
            circuit->setCurrentIndex(circuit->findData(entry.circuit));
            child<QComboBox>(week, "Combo_Yobi")->setCurrentIndex(entry.day);
            ModalDialogs::setRunner([&entry](QDialog* dialog) {
                dialog->show();
                for (const auto& [box, text] : entry.boxes)
                    child<QLineEdit>(dialog, QLatin1String(box))->setText(text);
                if (entry.endDay >= 0)
                    child<QComboBox>(dialog, "Combo_YobiOFF")->setCurrentIndex(entry.endDay);
                click(dialog, "Button_OK");
                delete dialog;
            });
            click(week, "Button_New");
        }
        QCOMPARE(child<QLabel>(week, "Label_ProgramCount")->text(), QStringLiteral("886"));
        click(week, "Button_Close");

        // 年間プログラム, circuit 2: special number 1 with one program on 2027-12-24, 2027's holidays 停止.
        QDialog* opened = nullptr;
        ModalDialogs::setRunner([&opened](QDialog* dialog) { (opened = dialog)->show(); });
        click(&main, "Button_Year");
        QWidget* year = FindForm("Form_Year");
        child<QComboBox>(year, "Combo_Circuit")->setCurrentIndex(1);  // circuits 1 to 4
        click(year, "Button_Special");
        click(opened, "Button_OK");  // 新規: the first free number
        click(FindForm("Form_Special"), "Button_New");
        child<QLineEdit>(opened, "Text_Hour")->setText("7");
        child<QLineEdit>(opened, "Text_Minute")->setText("15");
        click(opened, "Button_OK");
        click(FindForm("Form_Special"), "Button_Close");
        auto* calendar = child<MonthCalendar>(year, "MonthView1");
        calendar->showMonth(2027, 12);
        QTest::mouseClick(calendar->dayGrid(), Qt::LeftButton, {}, calendar->dayRect(QDate(2027, 12, 24)).center());
        click(opened, "Option_Year_2");
        child<QComboBox>(opened, "Combo_Special")->setCurrentIndex(0);
        click(opened, "Button_OK");
        click(year, "Button_Holiday");  // the year shown, every holiday ticked, 停止
        click(opened, "Button_OK");
        click(year, "Button_Close");
        QVERIFY(shownMessages().isEmpty());
        // Nothing the windows did waits for a later commit: a killed editor
        // would leave exactly this for the next start to offer back.
        QCOMPARE(committedSnapshot(), storeSnapshot());

        // プログラム印刷: circuit 2's special listing in the preview.
        Reports::Report previewed;
        PrintOutput::setHandlers([&previewed](QWidget*, const Reports::Report& report) { previewed = report; }, {});
        click(&main, "Button_Check");
        QWidget* print = FindForm("Form_Print");
        child<QComboBox>(print, "Combo_Circuit")->setCurrentIndex(1);
        click(print, "Button_Special");
        click(opened, "Check_Preview");
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(opened, "Button_Print");
        click(print, "Button_Close");
        const QList<Reports::BodyLine> lines = previewed.sections.value(0).lines;
        QCOMPARE(previewed.labels.value(1) + '|' + lines.value(0).group + lines.value(1).cells.join('|'),
                 QStringLiteral("回 路 2|特殊番号:  1| 7:15"));

        const QString path = store.path() + "/WZ48PROG.dat";
        FileDialog::queuePath(path);
        opened = nullptr;
        click(&main, "Button_SaveFile");  // 年間チェック first: holidays on which the week programs run
        QVERIFY(opened && child<QTreeWidget>(opened, "List_Findings")->topLevelItemCount() > 0);
        click(opened, "Button_WriteAnyway");
        // Each record as the device reads it, field by field.
        const auto line = [](const QByteArrayList& fields) { return fields.join(); };
        QByteArrayList records{
            line({"1", "2", "1", "  ", "1", " ", "  ", "10", "3", "12", "00", "00", "  ", "  ", "  ", "      "})};
        for (const char* day : {"1", "2", "3", "4", "5"})
            records << line({"1", "1", "2", "  ", day, " ", "  ", "05", " ", " 8", "30", "00", "  ", "  ", "  ",
                             "      "});
        records << line({"2", "1", "2", " 1", "    ", "05", " ", " 7", "15", "00", "  ", "  ", "  ", "      "});
        for (int day = 0; day < 7; ++day)
            records << line({"1", "3", "3", "  ", QByteArray::number(day), QByteArray::number((day + 1) % 7), "  ",
                             "00", " ", "22", "00", "00", " 6", "00", "00", "      "});
        records << line({"1", "4", "4", "  ", "0", "1", "15", "03", " ", " 9", "00", "00", "10", "00", "00", "      "});
        for (const char* day : {"0101", "0111", "0211", "0223", "0321", "0322", "0429", "0503", "0504", "0505",
                                "0719", "0811", "0920", "0923", "1011", "1103", "1123"})
            records << line({"3", "1", "2", " 0", "    ", "05", "             ", "27", day});
        records << line({"3", "1", "2", " 1", "    ", "05", "             ", "271224"});
        QCOMPARE(readBytes(path), withTrailer(records));

        // Reading the file back gives the same store.
        const QString before = storeSnapshot();
        MessageBox::queueAnswer(QMessageBox::Yes);  // discard the programs being edited
        FileDialog::queuePath(path);
        click(&main, "Button_LoadFile");
        QCOMPARE(storeSnapshot(), before);
        main.hide();
    }

    // The school year of the README entered by rules, 年度 and typed timetables writes the same file as the long
    // way: the first Fridays one by one, two calendar years of holidays with the rest unticked, a month's run at a time.
    void schoolYearByRulesEqualsTheLongWay()
    {
        const QByteArray byRules = schoolYear(ByRules);
        QCOMPARE(byRules.count("\r\n3"), 10 + 16 + 42 + 15 - 2);  // first Fridays, holidays, breaks (two holidays in them)
        QCOMPARE(byRules, schoolYear(LongWay));
        // The school's 行事予定 file, its 日課 chosen once each, gives the same file again, and so does `plan` with
        // the same choices on the file as it was before the table.
        const QByteArray byTable = schoolYear(ByTable);
        QCOMPARE(byTable, byRules);
        // The command is run through a POSIX shell; under Windows the windows stand alone.
        if (QSysInfo::kernelType() != QLatin1String("winnt"))
            QCOMPARE(m_byCommand, byTable);
    }

private:
    QDialog* m_opened = nullptr;
    enum Way { ByRules, LongWay, ByTable };
    QByteArray m_byCommand;  // ByTable: what `plan` made of the file before the table

    // 初期設定: circuits 1, 2 … given their type (the list's index) and time.
    static void setCircuits(Form_Main& main, const QList<std::pair<int, const char*>>& rows)
    {
        click(&main, "Button_Initial");
        QWidget* settings = FindForm("Form_Environment");
        for (int row = 0; row < rows.size(); ++row) {
            child<QComboBox>(settings, QStringLiteral("Combo_Function_%1").arg(row))->setCurrentIndex(rows[row].first);
            child<QLineEdit>(settings, QStringLiteral("Text_Function_%1").arg(row))->setText(rows[row].second);
        }
        click(settings, "Button_Close");
    }

    void addBells(QWidget* window, const char* periods)
    {
        click(window, "Button_Bells");
        QTest::keyClicks(child<QLineEdit>(m_opened, "Text_Timetable"), QLatin1String(periods));
        child<QLineEdit>(m_opened, "Text_PreBell")->setText("5");
        click(m_opened, "Button_OK");
    }

    static void drag(MonthCalendar* calendar, QDate from, QDate to)
    {
        calendar->showMonth(from.year(), from.month());
        QWidget* grid = calendar->dayGrid();
        for (auto [type, day] : {std::pair{QEvent::MouseButtonPress, from}, {QEvent::MouseMove, to},
                                 {QEvent::MouseButtonRelease, to}}) {
            const QPointF at = calendar->dayRect(day).center();
            QMouseEvent event(type, at, grid->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(grid, &event);
        }
    }

    // 日付設定 with 繰り返し from the first day of the page shown.
    void rule(QDate from, QDate to, int rule, int option, int existing = -1)
    {
        child<QCheckBox>(m_opened, "Check_Repeat")->setChecked(true);
        child<QDateEdit>(m_opened, "Date_From")->setDate(from);
        child<QDateEdit>(m_opened, "Date_To")->setDate(to);
        child<QComboBox>(m_opened, "Combo_Rule")->setCurrentIndex(rule);
        click(m_opened, qPrintable(QStringLiteral("Option_Year_%1").arg(option)));
        if (option == 2)
            child<QComboBox>(m_opened, "Combo_Special")->setCurrentIndex(0);
        if (existing >= 0)
            click(m_opened, qPrintable(QStringLiteral("Option_Existing_%1").arg(existing)));
        click(m_opened, "Button_OK");
    }

    // 祝日設定 for a calendar year (only the days from..to ticked) or a school year, as 停止.
    void holidays(QWidget* year, bool schoolYear, int first, QDate from = {}, QDate to = {})
    {
        click(year, "Button_Holiday");
        click(m_opened, schoolYear ? "Option_Span_1" : "Option_Span_0");
        auto* years = child<QComboBox>(m_opened, "Combo_Year");
        years->setCurrentIndex(years->findText(QString::number(first) + (schoolYear ? "年度" : "年")));
        auto* list = child<QTreeWidget>(m_opened, "List_Holiday");
        for (int row = 0; row < list->topLevelItemCount() && from.isValid(); ++row) {
            const QDate day = list->topLevelItem(row)->data(0, Qt::UserRole).toDate();
            list->topLevelItem(row)->setCheckState(0, day >= from && day <= to ? Qt::Checked : Qt::Unchecked);
        }
        click(m_opened, "Button_OK");
    }

    QByteArray schoolYear(Way way)
    {
        ScratchStore store(ScratchStore::OnDisk);
        Form_Main main(Scratch::history(), nullptr, store.path() + "/names.json");
        main.Form_Load();
        main.show();
        setCircuits(main, {{2, "10"}});
        ModalDialogs::setRunner([this](QDialog* dialog) { (m_opened = dialog)->show(); });

        click(&main, "Button_Week");
        QWidget* week = FindForm("Form_Week");
        child<QComboBox>(week, "Combo_Circuit")->setCurrentIndex(0);
        child<QComboBox>(week, "Combo_Yobi")->setCurrentIndex(7);  // 平日
        addBells(week, "8:50-9:40,9:50-10:40,10:50-11:40,11:50-12:40,13:25-14:15,14:25-15:15");
        click(week, "Button_Close");

        click(&main, "Button_Year");
        QWidget* year = FindForm("Form_Year");
        child<QComboBox>(year, "Combo_Circuit")->setCurrentIndex(0);
        click(year, "Button_Special");
        click(m_opened, "Button_OK");  // 新規: special number 1
        addBells(FindForm("Form_Special"), "8:50-9:30 9:40-10:20 10:30-11:10 11:20-12:00 12:45-13:25 13:35-14:15");
        click(FindForm("Form_Special"), "Button_Close");
        auto* calendar = child<MonthCalendar>(year, "MonthView1");
        const auto clickAnyDay = [calendar] { drag(calendar, QDate(2027, 1, 15), QDate(2027, 1, 15)); };
        if (way == ByTable) {
            const QString table = QStringLiteral(WZ_E2E_DATA) + "/gyoji-2027.csv";
            const QString planned = store.path() + "/planned.dat";
            const QString special = store.path() + "/special.dat";
            writeBytes(special, ProgramFileWriter::buildProgramFile(Scratch::document()));
            const ProcessRun run = runEditor(QStringList{"plan", special, planned, "--circuit", "1", "--table", table,
                                                         "--map", "通常=なし", "--map", "短縮=1", "--map", "休業=停止",
                                                         "--map", "祝日=停止"},
                                             store.path());
            m_byCommand = run.status == 0 ? readBytes(planned) : run.err.toUtf8();
            click(year, "Button_Plan");
            FileDialog::queuePath(table);
            click(m_opened, "Button_Open");
            auto* names = child<QTableWidget>(m_opened, "Grid_Names");
            const QMap<QString, QString> chosen{{"通常", "設定なし"}, {"短縮", "1"}, {"休業", "停止"}, {"祝日", "停止"}};
            if (names->rowCount() != chosen.size())
                return "the table's 日課: " + QByteArray::number(names->rowCount());
            for (int row = 0; row < names->rowCount(); ++row) {
                auto* box = qobject_cast<QComboBox*>(names->cellWidget(row, 2));
                box->setCurrentIndex(box->findText(chosen.value(names->item(row, 0)->text())));
            }
            click(m_opened, "Button_OK");
        } else if (way == ByRules) {
            holidays(year, true, 2027);
            clickAnyDay();
            rule(QDate(2027, 7, 21), QDate(2027, 8, 31), 0, 1);
            clickAnyDay();
            rule(QDate(2027, 12, 24), QDate(2028, 1, 7), 0, 1);
            clickAnyDay();
            rule(QDate(2027, 4, 2), QDate(2028, 3, 31), 2, 2, 1);  // 第1 金曜日, the breaks kept
        } else {
            for (const QDate day : {QDate(2027, 4, 2), QDate(2027, 5, 7), QDate(2027, 6, 4), QDate(2027, 7, 2),
                                    QDate(2027, 9, 3), QDate(2027, 10, 1), QDate(2027, 11, 5), QDate(2027, 12, 3),
                                    QDate(2028, 2, 4), QDate(2028, 3, 3)}) {
                drag(calendar, day, day);
                click(m_opened, "Option_Year_2");
                child<QComboBox>(m_opened, "Combo_Special")->setCurrentIndex(0);
                click(m_opened, "Button_OK");
            }
            holidays(year, false, 2027, QDate(2027, 4, 1), QDate(2027, 12, 31));
            holidays(year, false, 2028, QDate(2028, 1, 1), QDate(2028, 3, 31));
            for (const auto& [from, to] : {std::pair{QDate(2027, 7, 21), QDate(2027, 7, 31)},
                                           {QDate(2027, 8, 1), QDate(2027, 8, 31)},
                                           {QDate(2027, 12, 24), QDate(2027, 12, 31)},
                                           {QDate(2028, 1, 1), QDate(2028, 1, 7)}}) {
                drag(calendar, from, to);
                click(m_opened, "Option_Year_1");
                click(m_opened, "Button_OK");
            }
        }
        click(year, "Button_Close");
        const QStringList messages = shownMessages();
        const QString path = store.path() + "/WZ48PROG.dat";
        FileDialog::queuePath(path);
        m_opened = nullptr;
        click(&main, "Button_SaveFile");
        if (m_opened)  // 年間チェック found something
            click(m_opened, "Button_WriteAnyway");
        main.hide();
        ModalDialogs::setRunner({});
        return messages.isEmpty() ? readBytes(path) : messages.join('\n').toUtf8();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
