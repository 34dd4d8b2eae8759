#include "TestSupport.h"
#include "app/ui/WindowUtil.h"
#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "special/ModalDialogs.h"
#include "special/SpecialPrograms.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/ProgramGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace TestSupport;

class TestSpecial : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
    }

    void cleanup()
    {
        ModalDialogs::setRunner({});
        closeAll();
        m_store.reset();
    }

    void firstFreeNumber_data()
    {
        QTest::addColumn<QList<int>>("inUse");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << QList<int>{} << 1;
        QTest::newRow("gap refilled") << QList<int>{1, 2, 4} << 3;
        QTest::newRow("gap at 1") << QList<int>{2, 3} << 1;
        QList<int> all;
        for (int n = 1; n <= 99; ++n)
            all << n;
        QTest::newRow("all 99") << all << 100;
    }

    void firstFreeNumber()
    {
        QFETCH(QList<int>, inUse);
        QFETCH(int, expected);
        for (int number : inUse)
            addWeekRow(2, number, 0, 0, 8, 0, 0);
        addWeekRow(2, 0, 1, 0, 9, 0, 0);  // week programs and other circuits do not count
        addWeekRow(1, expected, 0, 0, 9, 0, 0);
        QCOMPARE(SpecialPrograms::FirstFreeSpecialNumber(2), expected);

        // The select dialog opens the special window on that number, or refuses past 99.
        EditRequest.CircuitNO = 2;
        Form_SpecialSelect select;
        click(&select, "Button_OK");
        const bool opens = expected <= 99;
        QCOMPARE(openedNumber(), opens ? QString::number(expected) : QStringLiteral("not open"));
        QCOMPARE(select.result() == QDialog::Accepted, opens);
        const QString refusal = QStringLiteral("特殊プログラム|設定可能最大数を超えています。特殊番号は99までです。\r\n"
                                               "不要なプログラムを削除してから設定してください。");
        QCOMPARE(shownMessages(), opens ? QStringList() : QStringList{refusal});
    }

    void openingByType()
    {
        // Mode, pulse, number, whether 複写 is offered, the tooltip of 閉じる and the dialog 新規 opens.
        const QString back = QStringLiteral("年間プログラム設定へ戻ります。");
        const QStringList expected{"報時|5秒|1|copy|" + back + "|Form_EditTime",
                                   "チャイム|10秒|1|copy|" + back + "|Form_EditTime",
                                   "タイマ|0秒|1||" + back + "|Form_EditTimeTimer", "繰返し|3秒|1||" + back + "|"};
        for (int circuit = 1; circuit <= 4; ++circuit) {
            closeAll();
            Form_Special* special = openSpecial(circuit, 0);
            click(special, "Button_New");
            QCOMPARE(QStringList({child<QLabel>(special, "Label_Mode")->text(),
                                  child<QLabel>(special, "Label_Pulse")->text(),
                                  child<QLabel>(special, "Label_Special")->text(),
                                  child(special, "Button_Copy")->isEnabled() ? "copy" : "",
                                  child(special, "Button_Close")->toolTip(),
                                  m_dialogs.size() == 2 ? m_dialogs.back()->objectName() : QString()})
                         .join('|'),
                     expected[circuit - 1]);
        }
    }

    void newAndEditThroughTheEntryDialog()
    {
        Form_Special* special = openSpecial(2, 0);
        click(special, "Button_New");
        QCOMPARE(QList<int>({EditRequest.Origin, EditRequest.SpecialNO}), QList<int>({2, 1}));
        QDialog* entry = m_dialogs.back().get();
        for (auto [box, text] :
             {std::pair{"Text_Hour", "7"}, {"Text_Minute", "05"}, {"Text_Second", "30"}, {"Text_Chime", "4"}})
            child<QLineEdit>(entry, box)->setText(text);
        click(entry, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 2 AND SpecialNO = 1 AND YobiON = 0 AND "
                       "TimeONH = 7 AND TimeONM = 5 AND TimeONS = 30 AND ChimeNO = 4"),
                 1);
        QCOMPARE(grid(special)->rowCount(), 1);
        QCOMPARE(child<QLabel>(special, "Label_ProgramCount")->text(), QStringLiteral("899"));

        grid(special)->selectRow(0);
        click(special, "Button_Edit");
        const EditRequestData& r = EditRequest;
        QCOMPARE(QList<int>({r.EditMode, r.SpecialNO, r.TimeONH, r.TimeONM, r.TimeONS, r.ChimeNO, r.Origin}),
                 QList<int>({-1, 1, 7, 5, 30, 4, 2}));

        // A timer's row hands over both times.
        addWeekRow(3, 2, 0, 0, 22, 0, 0, 6, 15);
        RenumberTable("T_Week");
        Form_Special* timer = openSpecial(3, 2);
        grid(timer)->selectRow(0);
        click(timer, "Button_Edit");
        QCOMPARE(QList<int>({r.TimeONH, r.TimeONM, r.TimeOFFH, r.TimeOFFM, r.SpecialNO}),
                 QList<int>({22, 0, 6, 15, 2}));
        QCOMPARE(m_dialogs.back()->objectName(), QStringLiteral("Form_EditTimeTimer"));
    }

    void editChoiceNeedsANumber()
    {
        addWeekRow(1, 3, 0, 0, 8, 0, 0);
        EditRequest.CircuitNO = 1;
        Form_SpecialSelect select;
        auto* numbers = child<QComboBox>(&select, "Combo_Special");
        QCOMPARE(numbers->count(), 1);
        QCOMPARE(numbers->currentIndex(), -1);
        QVERIFY(!numbers->isEnabled());
        child<QRadioButton>(&select, "Option_Edit")->setChecked(true);
        QVERIFY(numbers->isEnabled());
        activate(&select);
        click(&select, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("特殊プログラム作成|特殊番号を指定してください。")});
        QCOMPARE(QApplication::focusWidget(), numbers);
        QVERIFY(m_dialogs.empty());
        numbers->setCurrentIndex(0);
        click(&select, "Button_OK");
        QCOMPARE(openedNumber(), QStringLiteral("3"));
    }

private:
    // Latest first: a dialog may be the parent of the ones opened after it.
    void closeAll()
    {
        while (!m_dialogs.empty())
            m_dialogs.pop_back();
    }
    Form_Special* openSpecial(int circuit, int special)
    {
        EditRequest.CircuitNO = qint16(circuit);
        EditRequest.SpecialNO = qint16(special);
        auto* window = new Form_Special;
        m_dialogs.emplace_back(window);
        window->show();
        return window;
    }
    static QString openedNumber()
    {
        QWidget* window = FindForm(QStringLiteral("Form_Special"));
        return window ? child<QLabel>(window, "Label_Special")->text() : QStringLiteral("not open");
    }
    static ProgramGrid* grid(QWidget* window) { return child<ProgramGrid>(window, "DataGrid1"); }

    std::unique_ptr<ScratchStore> m_store;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestSpecial)
#include "test_special.moc"
