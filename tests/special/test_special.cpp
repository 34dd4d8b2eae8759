#include "TestSupport.h"
#include "app/ui/WindowUtil.h"
#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "special/ModalDialogs.h"
#include "special/SpecialPrograms.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/ProgramGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
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
        if (expected <= 99) {
            QCOMPARE(openedNumber(), QString::number(expected));
            QVERIFY(select.isHidden());
        } else {
            QCOMPARE(shownMessages(), QStringList{QStringLiteral(
                                          "特殊プログラム|設定可能最大数を超えています。特殊番号は99までです。\r\n"
                                          "不要なプログラムを削除してから設定してください。")});
            QVERIFY(m_dialogs.empty());
        }
    }

    void deletingTheLastProgramRemovesItsYearEntries()
    {
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        addWeekRow(1, 5, 0, 0, 9, 0, 0);
        addWeekRow(1, 6, 0, 0, 9, 0, 0);
        addWeekRow(2, 5, 0, 0, 9, 0, 0);
        RenumberTable("T_Week");
        for (auto [circuit, special] : {std::pair{1, 5}, {1, 6}, {2, 5}, {1, 0}}) {
            addYearRow(circuit, 27, 1, 1 + special, special);
            addEveryYearRow(circuit, 2, 1 + special, special);
        }
        Form_Special* special = openSpecial(1, 5);
        const QString before = yearEntries();
        grid(special)->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(special, "Button_Delete");
        QCOMPARE(yearEntries(), before);
        QCOMPARE(grid(special)->rowCount(), 1);

        grid(special)->selectRow(0);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(special, "Button_Delete");
        QCOMPARE(shownMessages(), (QStringList{QStringLiteral("特殊プログラム|削除しますか？"),
                                               QStringLiteral("特殊プログラム|特殊番号5 は削除されます。")}));
        QCOMPARE(yearEntries(), QStringLiteral("T_Year 1,6 2,5 1,0 T_YearE 1,6 2,5 1,0"));
        QCOMPARE(child<QLabel>(special, "Label_ProgramCount")->text(), QStringLiteral("898"));

        // 全削除 (No is the default answer) always takes the year entries along.
        Form_Special* six = openSpecial(1, 6);
        click(six, "Button_AllDelete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 6"), 1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(six, "Button_AllDelete");
        QCOMPARE(shownMessages().last(),
                 QStringLiteral("特殊プログラム|回路No.1 特殊番号6 の特殊プログラムをすべて削除しました。"));
        QCOMPARE(MessageBox::shown().first().defaultButton, QMessageBox::No);
        QCOMPARE(yearEntries(), QStringLiteral("T_Year 2,5 1,0 T_YearE 2,5 1,0"));
        QCOMPARE(count("SELECT MAX(ID) FROM T_Year"), 2);
    }

    void openingByType()
    {
        const struct {
            int circuit;
            const char* mode;
            const char* pulse;
            bool copy;
            const char* dialog;
        } cases[] = {{1, "報時", "5秒", true, "Form_EditTime"},
                     {2, "チャイム", "10秒", true, "Form_EditTime"},
                     {3, "タイマ", "0秒", false, "Form_EditTimeTimer"},
                     {4, "繰返し", "3秒", false, ""}};
        for (const auto& c : cases) {
            closeAll();
            Form_Special* special = openSpecial(c.circuit, 0);
            QCOMPARE(child<QLabel>(special, "Label_Mode")->text(), QString::fromUtf8(c.mode));
            QCOMPARE(child<QLabel>(special, "Label_Pulse")->text(), QString::fromUtf8(c.pulse));
            QCOMPARE(child<QLabel>(special, "Label_Special")->text(), QStringLiteral("1"));
            QCOMPARE(child(special, "Button_Copy")->isEnabled(), c.copy);
            QCOMPARE(child(special, "Button_Close")->toolTip(), QStringLiteral("年間プログラム設定へ戻ります。"));
            click(special, "Button_New");
            QCOMPARE(m_dialogs.size(), size_t(qstrlen(c.dialog) ? 2 : 1));
            if (m_dialogs.size() == 2)
                QCOMPARE(m_dialogs.back()->objectName(), QString::fromUtf8(c.dialog));
        }
    }

    void newAndEditThroughTheEntryDialog()
    {
        Form_Special* special = openSpecial(2, 0);
        click(special, "Button_New");
        QCOMPARE(EditRequest.Origin, qint16(2));
        QCOMPARE(EditRequest.SpecialNO, qint16(1));
        QDialog* entry = m_dialogs.back().get();
        child<QLineEdit>(entry, "Text_Hour")->setText("7");
        child<QLineEdit>(entry, "Text_Minute")->setText("05");
        child<QLineEdit>(entry, "Text_Second")->setText("30");
        child<QLineEdit>(entry, "Text_Chime")->setText("4");
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
    // "circuit,special" of each year entry, by table.
    static QString yearEntries()
    {
        QStringList parts;
        for (const char* table : {"T_Year", "T_YearE"}) {
            parts << QLatin1String(table);
            QSqlQuery query = ProgramStore::exec(QStringLiteral("SELECT CircuitNO, SpecialNO FROM %1 ORDER BY rowid")
                                                     .arg(QLatin1String(table)));
            while (query.next())
                parts << query.value(0).toString() + ',' + query.value(1).toString();
        }
        return parts.join(' ');
    }

    std::unique_ptr<ScratchStore> m_store;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestSpecial)
#include "test_special.moc"
