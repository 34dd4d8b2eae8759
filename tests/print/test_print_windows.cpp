#include "TestSupport.h"
#include "print/Form_Print.h"
#include "print/Form_PrintSelect.h"
#include "print/PrintOutput.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

class TestPrintWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        addWeekRow(1, 0, 1, 1, 8, 30, 0);
        addWeekRow(1, 3, 0, 0, 9, 0, 0);
        addYearRow(2, 27, 3, 1, 0);  // circuit 2 holds only a year entry
        addEveryYearRow(2, 1, 1, 0);
        addWeekRow(4, 0, 2, 2, 9, 0, 0, 10, 0, 5);
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
        m_print = new Form_Print;
        m_print->openDialog = [this](QDialog* dialog) {
            m_dialog.reset(dialog);
            dialog->show();
        };
        m_print->show();
    }

    void cleanup()
    {
        m_dialog.reset();
        delete m_print;
        PrintOutput::resetHandlers();
        m_store.reset();
    }

    void circuitsAndButtons()
    {
        auto* circuits = child<QComboBox>(m_print, "Combo_Circuit");
        QCOMPARE(circuits->count(), 3);
        QCOMPARE((QStringList{circuits->itemText(0), circuits->itemText(1), circuits->itemText(2)}),
                 (QStringList{"1", "2", "4"}));
        QCOMPARE(circuits->currentIndex(), -1);
        QCOMPARE(m_print->windowTitle(), QStringLiteral("プログラム印刷"));
        QCOMPARE(child<QPushButton>(m_print, "Button_Special")->text(), QStringLiteral("特殊プログラム印刷 (&S)"));
        QCOMPARE(child<QLabel>(m_print, "Label_Special")->text(),
                 QStringLiteral("年間プログラムで指定した日付に実行される特殊プログラムを確認します。"));
        // The type, then the week, year and special buttons: a repeat circuit prints its week programs only. The
        // repeat circuit comes first, so that the buttons must come back on.
        QStringList states;
        for (int item : {2, 1, 0}) {
            circuits->setCurrentIndex(item);
            QString state = child<QLabel>(m_print, "Label_Mode")->text();
            for (const char* button : {"Button_Week", "Button_Year", "Button_Special"})
                state += child(m_print, button)->isEnabled() ? " on" : " off";
            states << state;
        }
        QCOMPARE(states, (QStringList{"繰返し on off off", "チャイム on on on", "報時 on on on"}));
    }

    void nothingChosenOrNothingLeft()
    {
        QTest::mouseClick(child<QPushButton>(m_print, "Button_Week"), Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{"プログラム印刷|印刷する回路を選択してください。"});
        QCOMPARE(m_print->focusWidget(), child(m_print, "Combo_Circuit"));
        child<QComboBox>(m_print, "Combo_Circuit")->setCurrentIndex(0);
        ProgramStore::exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = 1"));
        scriptDialogs();
        QTest::mouseClick(child<QPushButton>(m_print, "Button_Special"), Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{"プログラム印刷|印刷するデータがありません。"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(m_print->focusWidget(), child(m_print, "Button_Close"));
        QVERIFY(!m_dialog);
    }

    // A circuit with only year entries: the year listing asks for the year;
    // the week listing is an empty table.
    void yearOnlyCircuit()
    {
        openSelect(1, "Button_Year");
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("年間プログラム印刷"));
        QCOMPARE(child<QLabel>(m_dialog.get(), "Label_Titile")->text(), QStringLiteral("年間プログラム印刷"));
        QCOMPARE(child(m_dialog.get(), "Button_Print")->toolTip(), QStringLiteral("選択した年のプログラムを印刷します。"));
        auto* years = child<QComboBox>(m_dialog.get(), "Combo_Year");
        QVERIFY(years->isVisible());
        QCOMPARE((QStringList{years->itemText(0), years->itemText(1)}), (QStringList{"毎年", "27年"}));
        QCOMPARE(years->currentIndex(), -1);

        clickPrint();
        QCOMPARE(shownMessages(), QStringList{"年間プログラム印刷|印刷年が選択されていません。"});
        QCOMPARE(m_dialog->focusWidget(), child(m_dialog.get(), "Button_Cancel"));

        // No to the question: nothing filled, nothing printed, the window stays.
        years->setCurrentIndex(0);
        scriptDialogs();
        MessageBox::queueAnswer(QMessageBox::No);
        clickPrint();
        QCOMPARE(shownMessages(), QStringList{"年間プログラム印刷|年間プログラムを印刷します。\r\nよろしいですか？"});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_YearP")), 0);
        QVERIFY(m_outputs.isEmpty() && m_dialog->isVisible());

        previewWithYes();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_YearP")), 1);
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));

        openSelect(1, "Button_Week");
        previewWithYes();
        QCOMPARE(m_outputs, (QStringList{"preview 年間プログラム 毎年 回 路 2",
                                         "preview 週間プログラム チャイムプログラム 回 路 2 チャイム起動時間 10秒前"}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WeekP")), 0);
    }

    void weekListingStraightToThePrinterTwice()
    {
        for (int round = 0; round < 2; ++round) {
            openSelect(2, "Button_Week");
            QCOMPARE(m_dialog->windowTitle(), QStringLiteral("週間プログラム印刷"));
            QVERIFY(child(m_dialog.get(), "Combo_Year")->isHidden());
            MessageBox::queueAnswer(QMessageBox::Yes);
            clickPrint();
            QCOMPARE(shownMessages().value(0), QStringLiteral("プログラム印刷|週間プログラムを印刷します。\r\nよろしいですか？"));
            QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        }
        const QString output = QStringLiteral("print 週間プログラム 繰返しプログラム 回 路 4 出力時間 3秒幅");
        QCOMPARE(m_outputs, (QStringList{output, output}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WeekP")), 1);
    }

    void withoutPrinterThePreviewStillWorks()
    {
        m_printerPresent = false;
        openSelect(0, "Button_Special");
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("特殊プログラム印刷"));
        MessageBox::queueAnswer(QMessageBox::Yes);
        clickPrint();
        QCOMPARE(shownMessages(), (QStringList{"プログラム印刷|特殊プログラムを印刷します。\r\nよろしいですか？",
                                               "特殊プログラム印刷|プリンタが見つかりません。"}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(m_dialog->isVisible());
        previewWithYes();
        QCOMPARE(m_outputs, QStringList{"preview 特殊プログラム 報時プログラム 回 路 1 出力時間 5秒幅"});
    }

private:
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

QTEST_MAIN(TestPrintWindows)
#include "test_print_windows.moc"
