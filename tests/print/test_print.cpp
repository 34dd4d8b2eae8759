#include "TestSupport.h"
#include "print/Form_Print.h"
#include "print/PrintOutput.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "store/ScheduleDocument.h"
#include "review/Form_Calendar.h"
#include "store/StoreRoutines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QPrinter>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace TestSupport;

namespace {

// Every line of a print table as "key cell=text …", empty cells left out.
QStringList dump(const QString& sql, int keyColumns)
{
    QStringList lines;
    QSqlQuery query = Scratch::exec(sql);
    while (query.next()) {
        QStringList parts;
        for (int i = 0; i < keyColumns; ++i)
            parts << query.value(i).toString();
        for (int i = keyColumns; i < query.record().count(); ++i)
            if (!query.value(i).toString().isEmpty())
                parts << query.record().fieldName(i) + QLatin1Char('=') + query.value(i).toString();
        lines << parts.join(QLatin1Char(' '));
    }
    return lines;
}

// Blanks (figure spaces too) are dropped, since pdftotext spaces out
// columns in its own way.
QString comparable(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("[ \\t\\x{2007}]")));
}

// True when the page holds these texts in this order; blanks do not count.
bool holds(const QString& page, const QStringList& texts)
{
    QStringList patterns;
    for (const QString& text : texts)
        patterns << QRegularExpression::escape(comparable(text));
    return page.contains(QRegularExpression(patterns.join(QStringLiteral("[\\s\\S]*"))));
}

// `count` week rows ten minutes apart from 0:00 on one day.
QList<QList<int>> tenMinutesApart(int special, int day, int count)
{
    QList<QList<int>> rows;
    for (int i = 0; i < count; ++i)
        rows << QList<int>{1, special, day, day, i / 6, i % 6 * 10, 0};
    return rows;
}

struct Table {
    const char* name;
    bool special;            // the special listing, else the week grid
    int type;                // of circuit 1
    QList<QList<int>> rows;  // week rows as the arguments of addWeekRow
    QStringList expected;
};

struct Listing {
    const char* name;
    int kind;
    int circuit;
    QList<QList<int>> rows;    // week rows as the arguments of addWeekRow
    QList<QStringList> pages;  // the texts each page holds, in this order
};

}  // namespace

class TestPrint : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        setOneCircuitOfEachType();
    }

    void cleanup()
    {
        m_dialog.reset();
        delete m_print;
        m_print = nullptr;
        PrintOutput::resetHandlers();
        m_store.reset();
    }

    // Each case in a fresh store, with a week and a special program of
    // circuit 2 and a year entry that the tables must leave out. The special
    // listing replaces any week grid.
    void weekAndSpecialTables()
    {
        const QList<Table> tables{
            {"three Monday programs, one on Sunday and Tuesday, a special program left out", false, 1,
             {{1, 0, 1, 1, 17, 0, 0}, {1, 0, 1, 1, 8, 30, 0}, {1, 0, 1, 1, 12, 0, 0}, {1, 0, 0, 0, 9, 0, 0},
              {1, 0, 2, 2, 7, 5, 0}, {1, 3, 0, 0, 8, 0, 0}},
             {"1 Sun1= 9:00 Mon1= 8:30 Tue1= 7:05", "2 Mon1=12:00", "3 Mon1=17:00"}},
            {"repeat with its interval", false, 4, {{1, 0, 4, 4, 9, 0, 0, 10, 30, 15}},
             {"1 Thu1= 9:00～ Thu2=10:30   Thu3=15分間隔"}},
            {"special time signal, numbers in number order, a week program left out", true, 1,
             {{1, 10, 0, 0, 7, 0, 0}, {1, 2, 0, 0, 12, 0, 0}, {1, 1, 0, 0, 8, 30, 0}, {1, 1, 0, 0, 8, 0, 0},
              {1, 0, 1, 1, 9, 0, 0}},
             {"1 Sun1=1 Sun2= 8:00", "2 Sun1=1 Sun2= 8:30", "3 Sun1=2 Sun2=12:00", "4 Sun1=10 Sun2= 7:00"}},
            {"special chime", true, 2, {{1, 4, 0, 0, 8, 5, 9, 0, 0, 0, 2}}, {"1 Sun1=4 Sun2= 8:05.09 曲2"}},
            {"special timer", true, 3, {{1, 5, 0, 0, 8, 0, 0, 17, 0}}, {"1 Sun1=5 Sun2= 8:00～17:00"}},
            {"special repeat", true, 4, {{1, 6, 0, 0, 8, 0, 0, 17, 0, 5}}, {"1 Sun1=6 Sun2= 8:00～17:00 5分間隔"}},
        };
        for (const Table& table : tables) {
            cleanup();
            init();
            setCircuit(1, table.type, 5);
            addRows({{2, 0, 1, 1, 9, 0, 0}, {2, 1, 0, 0, 9, 0, 0}, {1, 27, 3, 1, 3}});
            addRows(table.rows);
            FillWeekPrintTable(Scratch::document(), 1);
            if (table.special)
                FillSpecialPrintTable(Scratch::document(), 1);
            const QStringList lines = dump(QStringLiteral("SELECT * FROM T_WeekP ORDER BY SortID"), 1);
            QVERIFY2(lines == table.expected, qPrintable(QLatin1String(table.name) + ": " + lines.join(" / ")));
        }
    }

    void yearTable_data()
    {
        QTest::addColumn<QString>("choice"); QTest::addColumn<QStringList>("expected");
        QTest::newRow("2027") << "27年"
                              << QStringList{"1 1 Mon3= 1日 P03 Mon5= 3日 停止", "1 2 Mon3=15日 P07",
                                             "2 1 Mon2=12日 停止"};
        QTest::newRow("every year") << "毎年" << QStringList{"1 1 Mon1= 5日 P03", "2 1 Mon6=31日 停止"};
        QTest::newRow("2000 is not every year") << "00年" << QStringList{"1 1 Mon2=29日 P99"};
        QTest::newRow("a year without entries") << "26年" << QStringList{};
    }

    void yearTable()
    {
        QFETCH(QString, choice); QFETCH(QStringList, expected);
        setCircuit(1, 2, 10);
        addRows({{1, 27, 5, 3, 0}, {1, 27, 3, 15, 7}, {1, 27, 3, 1, 3}, {1, 27, 8, 12, 0}, {1, 0, 2, 29, 99},
                 {1, 28, 3, 1, 1}, {2, 27, 3, 2, 1}, {1, 1, 5, 3}, {1, 12, 31, 0}, {2, 3, 1, 1}});
        PrintJob job = PrintJob::forCircuit(Scratch::document(), PrintJob::Year, 1);
        job.setYear(choice);
        FillYearPrintTable(Scratch::document(), job);
        QCOMPARE(dump(QStringLiteral("SELECT * FROM T_YearP ORDER BY PrintIndex, PrintNO"), 2), expected);
        QCOMPARE(PrintTexts::yearChoices(Scratch::document(), 1), (QStringList{"毎年", "00年", "27年", "28年"}));
    }

    // A listing longer than a page continues with its headings repeated, a
    // group of special programs with its own heading too.
    void listings()
    {
        const QString week = QStringLiteral("日曜日 月曜日 火曜日 水曜日 木曜日 金曜日 土曜日");
        const QString timeSignal = QStringLiteral("報時プログラム 回 路 1 出力時間 5秒幅");
        const QList<Listing> listings{
            {"chime week grid", PrintJob::Week, 2,
             {{2, 0, 1, 1, 8, 5, 9, 0, 0, 0, 2}, {2, 0, 1, 1, 12, 0, 0, 0, 0, 0, 3}, {2, 0, 5, 5, 9, 30, 15, 0, 0, 0, 7}},
             {{"チャイムプログラム 回 路 2 チャイム起動時間 10秒前", week, "No. 時刻 曲 時刻 曲", "1  8:05.09 曲2  9:30.15 曲7",
               "2 12:00.00 曲3", "印刷日 : 2027/04/01 07:05 1 / 1 週間プログラム"}}},
            {"timer week grid", PrintJob::Week, 3, {{3, 0, 5, 6, 22, 0, 0, 6, 0}, {3, 0, 0, 0, 8, 0, 0, 17, 30}},
             {{"タイマプログラム 回 路 3 終了時刻 0秒", "開始 終了 開始 終了", " 8:00～ 17:30 22:00～  6:00土", "1 / 1 週間プログラム"}}},
            {"special programs in number order", PrintJob::Special, 1,
             {{1, 10, 0, 0, 10, 0, 0}, {1, 2, 0, 0, 2, 0, 0}, {1, 1, 0, 0, 1, 0, 0}, {1, 2, 0, 0, 13, 45, 0}},
             {{timeSignal, "特殊番号: 1", " 1:00", "特殊番号: 2", " 2:00", "13:45", "特殊番号: 10", "10:00",
               "1 / 1 特殊プログラム"}}},
            {"special group over two pages", PrintJob::Special, 1, tenMinutesApart(7, 0, 60),
             {{timeSignal, "特殊番号: 7", " 0:00", "1 / 2 特殊プログラム"},
              {timeSignal, "特殊番号: 7", " 9:50", "2 / 2 特殊プログラム"}}},
            {"week grid over three pages", PrintJob::Week, 1, tenMinutesApart(0, 1, 110),
             {{timeSignal, week, "1  0:00", "41  6:40", "1 / 3 週間プログラム"},
              {timeSignal, week, "42  6:50", "2 / 3 週間プログラム"},
              {timeSignal, week, "110 18:10", "3 / 3 週間プログラム"}}},
            // The second half has no entries: headings and foot only.
            {"year halves with their headings", PrintJob::Year, 1,
             {{1, 27, 3, 1, 3}, {1, 27, 3, 15, 0}, {1, 27, 5, 3, 7}},
             {{"2027年 回 路 1", "1 1月 2月 3月 4月 5月 6月", " 1日 P03  3日 P07", "15日 停止", "1 / 2 年間プログラム"},
              {"2027年 回 路 1", "2 7月 8月 9月 10月 11月 12月", "2 / 2 年間プログラム"}}},
        };
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("no pdftotext (under Wine): scripts/test-windows compares the listing's text with Linux's");
        for (const Listing& listing : listings) {
            cleanup();
            init();
            addRows(listing.rows);
            const QStringList pages = render(listing.kind, listing.circuit);
            QVERIFY2(pages.size() == listing.pages.size(), listing.name);
            for (int page = 0; page < pages.size(); ++page)
                QVERIFY2(holds(pages[page], listing.pages[page]),
                         qPrintable(QStringLiteral("%1, page %2:\n%3").arg(listing.name).arg(page + 1).arg(pages[page])));
            // No entry of the first half strays onto the second.
            QVERIFY2(listing.kind != PrintJob::Year || !pages.last().contains(QLatin1Char('P')), listing.name);
            // Rendering it again gives the same pages.
            QCOMPARE(render(listing.kind, listing.circuit), pages);
        }
    }

    // Nothing chosen (no type yet, every button asks for the circuit), then the type and the week, year and
    // special buttons of each circuit: a repeat circuit prints its week programs only. The repeat circuit
    // comes first, so that the buttons must come back on.
    void circuitsButtonsAndNothingToPrint()
    {
        openPrintWindow();
        auto* circuits = child<QComboBox>(m_print, "Combo_Circuit");
        QCOMPARE((QStringList{QString::number(circuits->count()), circuits->itemText(0), circuits->itemText(1),
                              circuits->itemText(2), QString::number(circuits->currentIndex()), m_print->windowTitle(),
                              child<QPushButton>(m_print, "Button_Special")->text(),
                              child<QLabel>(m_print, "Label_Special")->text()}),
                 (QStringList{"3", "1", "2", "4", "-1", "プログラム印刷", "特殊プログラム印刷 (&S)",
                              "年間プログラムで指定した日付に実行される特殊プログラムを確認します。"}));
        QTest::mouseClick(child<QPushButton>(m_print, "Button_Week"), Qt::LeftButton);  // asks for the circuit
        QCOMPARE(m_print->focusWidget(), circuits);
        QStringList states;
        for (int item : {-1, 2, 1, 0}) {
            circuits->setCurrentIndex(item);
            QString state = child<QLabel>(m_print, "Label_Mode")->text();
            for (const char* button : {"Button_Week", "Button_Year", "Button_Special", "Button_Calendar"})
                state += child(m_print, button)->isEnabled() ? " on" : " off";
            states << state;
        }
        QCOMPARE(states, (QStringList{" on on on on", "繰返し on off off off", "チャイム on on on on", "報時 on on on on"}));

        {
            const QSignalBlocker unheard(&Scratch::document());  // the window has not caught up yet
            Scratch::exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = 1"));
        }
        QTest::mouseClick(child<QPushButton>(m_print, "Button_Special"), Qt::LeftButton);
        QCOMPARE(shownMessages(), (QStringList{"プログラム印刷|印刷する回路を選択してください。",
                                               "プログラム印刷|印刷するデータがありません。"}));
        QVERIFY(MessageBox::lastShown().icon == MessageBox::Icon::Exclamation &&
                m_print->focusWidget() == child(m_print, "Button_Close") && !m_dialog);
    }

    // A circuit with only year entries: the year listing asks for the year; the week listing is an empty table.
    // Then a week listing twice straight to the printer and, without a printer, a preview that still works.
    void selectAndPrint()
    {
        openPrintWindow();
        openSelect(1, "Button_Year");
        auto* years = child<QComboBox>(m_dialog.get(), "Combo_Year");
        QVERIFY(years->isVisible());
        QCOMPARE((QStringList{m_dialog->windowTitle(), child<QLabel>(m_dialog.get(), "Label_Titile")->text(),
                              child(m_dialog.get(), "Button_Print")->toolTip(), years->itemText(0), years->itemText(1),
                              QString::number(years->currentIndex())}),
                 (QStringList{"年間プログラム印刷", "年間プログラム印刷", "選択した年のプログラムを印刷します。", "毎年",
                              "27年", "-1"}));

        clickPrint();
        QCOMPARE(shownMessages(), QStringList{"年間プログラム印刷|印刷年が選択されていません。"});
        QCOMPARE(m_dialog->focusWidget(), child(m_dialog.get(), "Button_Cancel"));

        // No to the question: nothing filled, nothing printed, the window stays.
        years->setCurrentIndex(0);
        scriptDialogs();
        MessageBox::queueAnswer(QMessageBox::No);
        clickPrint();
        QCOMPARE(shownMessages(), QStringList{"年間プログラム印刷|年間プログラムを印刷します。\r\nよろしいですか？"});
        QVERIFY(count("SELECT COUNT(*) FROM T_YearP") == 0 && m_outputs.isEmpty() && m_dialog->isVisible());

        previewWithYes();
        QVERIFY(count("SELECT COUNT(*) FROM T_YearP") == 1 && m_dialog->result() == QDialog::Accepted);

        openSelect(1, "Button_Week");
        previewWithYes();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WeekP")), 0);

        for (int round = 0; round < 2; ++round) {
            openSelect(2, "Button_Week");
            QVERIFY(m_dialog->windowTitle() == "週間プログラム印刷" && child(m_dialog.get(), "Combo_Year")->isHidden());
            MessageBox::queueAnswer(QMessageBox::Yes);
            clickPrint();
            QCOMPARE(shownMessages().value(0), QStringLiteral("プログラム印刷|週間プログラムを印刷します。\r\nよろしいですか？"));
            QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        }
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WeekP")), 1);

        m_printerPresent = false;
        openSelect(0, "Button_Special");  // the refusal's title is the dialog's
        MessageBox::queueAnswer(QMessageBox::Yes);
        clickPrint();
        QCOMPARE(shownMessages(), (QStringList{"プログラム印刷|特殊プログラムを印刷します。\r\nよろしいですか？",
                                               "特殊プログラム印刷|プリンタが見つかりません。"}));
        QVERIFY(MessageBox::lastShown().icon == MessageBox::Icon::Exclamation && m_dialog->isVisible());
        previewWithYes();
        const QString output = QStringLiteral("print 週間プログラム 繰返しプログラム 回 路 4 出力時間 3秒幅");
        QCOMPARE(m_outputs, (QStringList{"preview 年間プログラム 毎年 回 路 2",
                                         "preview 週間プログラム チャイムプログラム 回 路 2 チャイム起動時間 10秒前", output,
                                         output, "preview 特殊プログラム 報時プログラム 回 路 1 出力時間 5秒幅"}));
    }

    // 年間カレンダー: the sheet of the circuit and 年度 typed, on the paper
    // chosen, to the preview or the printer, special days with the names it
    // was given; a bad 年度 or a circuit without programs is refused with
    // nothing printed.
    void calendarSheet_data()
    {
        QTest::addColumn<int>("circuit");
        QTest::addColumn<QString>("schoolYear");
        QTest::addColumn<bool>("a3");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("outcome");
        const QString badYear = QStringLiteral("年間カレンダー|年度は 2000～2098 の西暦で入力してください。");
        QTest::newRow("preview A4") << 1 << "2026" << false << true << "preview A4 2026年度（令和8年度） 回路1 行事";
        QTest::newRow("printer A3") << 1 << "2098" << true << false << "print A3 2098年度（令和80年度） 回路1";
        QTest::newRow("no printer") << 1 << "2026" << false << false << "年間カレンダー|プリンタが見つかりません。";
        QTest::newRow("1999") << 1 << "1999" << false << true << badYear;
        QTest::newRow("2099") << 1 << "2099" << false << true << badYear;
        QTest::newRow("empty") << 1 << "" << false << true << badYear;
        QTest::newRow("no programs") << 2 << "2026" << false << true
                                     << "年間カレンダー|回路 2 にはプログラムがありません。年間カレンダーは印刷しません。";
    }

    void calendarSheet()
    {
        QFETCH(int, circuit);
        QFETCH(QString, schoolYear);
        QFETCH(bool, a3);
        QFETCH(bool, preview);
        QFETCH(QString, outcome);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("no pdftotext");
        addRows({{1, 0, 1, 1, 8, 30, 0}, {2, 27, 3, 1, 0}, {1, 26, 5, 1, 3}});
        QStringList outputs;
        const auto record = [&](const char* how, const PrintOutput::Sheet& sheet) {
            const QString path = m_store->path() + QStringLiteral("/calendar.pdf");
            writeBytes(path, sheet.pdf());
            QProcess process;
            process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
            process.waitForFinished(30000);
            const QString text = comparable(QString::fromUtf8(process.readAllStandardOutput())).remove('\n');
            QStringList seen{QLatin1String(how), sheet.layout.pageSize().key()};
            for (const QString& words : outcome.split(QLatin1Char(' ')).mid(2))
                if (text.contains(words))
                    seen << words;
            outputs << seen.join(QLatin1Char(' '));
        };
        PrintOutput::setSheetHandlers([&](QWidget*, const PrintOutput::Sheet& sheet) { record("preview", sheet); },
                                      [&](const PrintOutput::Sheet& sheet) {
                                          if (outcome.contains(QStringLiteral("プリンタ")))
                                              return false;
                                          record("print", sheet);
                                          return true;
                                      });
        scriptDialogs();
        Form_Calendar calendar(Scratch::document(), circuit, QDate(2028, 3, 31), nullptr, {{3, QStringLiteral("行事")}});
        QCOMPARE(child<QLineEdit>(&calendar, "Text_SchoolYear")->text(), QStringLiteral("2027"));
        child<QLineEdit>(&calendar, "Text_SchoolYear")->setText(schoolYear);
        child<QRadioButton>(&calendar, a3 ? "Option_A3" : "Option_A4")->setChecked(true);
        child<QCheckBox>(&calendar, "Check_Preview")->setChecked(preview);
        click(&calendar, "Button_Print");
        QCOMPARE(outputs.isEmpty() ? shownMessages().join('\n') : outputs.join('\n'), outcome);
        QCOMPARE(calendar.result(), outputs.isEmpty() ? 0 : int(QDialog::Accepted));
    }

private:
    // The listing (a year listing: 2027) as pdftotext -layout reads its pages, made comparable.
    // A failing pdftotext gives no pages.
    QStringList render(int kind, int circuit)
    {
        PrintJob job = PrintJob::forCircuit(Scratch::document(), kind, circuit);
        job.setYear(QStringLiteral("27年"));
        job.fillTables();
        const Reports::Report report = Reports::BuildReport(job);
        const QString path = m_store->path() + QStringLiteral("/listing.pdf");
        QPrinter printer;  // the print dialog's "print to file"
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        Reports::SetUpPage(printer, report);
        PrintOutput::paint(printer, report, QDateTime(QDate(2027, 4, 1), QTime(7, 5)));
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        process.waitForFinished(30000);
        return comparable(QString::fromUtf8(process.readAllStandardOutput())).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    }

    // The print window over circuits 1, 2 and 4 (3 has no programs), with
    // previews and printouts kept in m_outputs.
    void openPrintWindow()
    {
        // Circuit 2 holds only year entries.
        addRows({{1, 0, 1, 1, 8, 30, 0}, {1, 3, 0, 0, 9, 0, 0}, {2, 27, 3, 1, 0}, {2, 1, 1, 0},
                 {4, 0, 2, 2, 9, 0, 0, 10, 0, 5}});
        m_outputs.clear();
        m_printerPresent = true;
        PrintOutput::setHandlers(
            [this](QWidget*, const Reports::Report& report) {
                m_outputs << QStringLiteral("preview ") + report.title + QLatin1Char(' ') + report.labels.join(' ');
            },
            [this](const Reports::Report& report) {
                if (m_printerPresent)
                    m_outputs << QStringLiteral("print ") + report.title + QLatin1Char(' ') + report.labels.join(' ');
                return m_printerPresent;
            });
        m_print = new Form_Print(Scratch::history());
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialog.reset(dialog);
            dialog->show();
        });
        m_print->show();
    }

    void openSelect(int item, const char* button)
    {
        child<QComboBox>(m_print, "Combo_Circuit")->setCurrentIndex(item);
        scriptDialogs();
        QTest::mouseClick(child<QPushButton>(m_print, button), Qt::LeftButton);
        QVERIFY(m_dialog);
    }

    void clickPrint() { QTest::mouseClick(child<QPushButton>(m_dialog.get(), "Button_Print"), Qt::LeftButton); }

    void previewWithYes()
    {
        child<QCheckBox>(m_dialog.get(), "Check_Preview")->setChecked(true);
        MessageBox::queueAnswer(QMessageBox::Yes);
        clickPrint();
    }

    std::unique_ptr<ScratchStore> m_store;
    Form_Print* m_print = nullptr;
    std::unique_ptr<QDialog> m_dialog;
    QStringList m_outputs;
    bool m_printerPresent = true;
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"
