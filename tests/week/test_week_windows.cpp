#include "TestSupport.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/Form_Week.h"
#include "week/ProgramGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QtTest>

using namespace TestSupport;

namespace {

// The request fields in declaration order, times as h:m:s and h:m.
QString requestText(const EditRequestData& r)
{
    return QString::asprintf("%d,%d,%d,%d,%d,%d,%d,%d,%d:%d:%d,%d:%d,%d", r.ID, r.EditMode, r.CircuitNO, r.SpecialNO,
                             r.Repeat, r.ChimeNO, r.YobiON, r.YobiOFF, r.TimeONH, r.TimeONM, r.TimeONS, r.TimeOFFH,
                             r.TimeOFFM, r.Origin);
}

// A request full of values no handler should hand on.
const EditRequestData kStaleRequest{77, 0, 0, 9, 33, 6, 0, 4, 21, 22, 23, 11, 12, 2};

QString texts(QWidget* dialog, std::initializer_list<const char*> names)
{
    QStringList values;
    for (const char* name : names)
        values << child<QLineEdit>(dialog, name)->text();
    return values.join(QLatin1Char(','));
}

}  // namespace

class TestWeekWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setCircuit(1, 1, 5);
        setCircuit(2, 2, 10);
        setCircuit(3, 3, 0);
        setCircuit(5, 4, 3);
        m_week = new Form_Week;
        m_week->openDialog = [this](QDialog* dialog) {
            m_dialog.reset(dialog);
            dialog->show();
        };
        m_week->show();
    }

    void cleanup()
    {
        m_opened.clear();
        m_dialog.reset();
        delete m_week;
        m_store.reset();
    }

    void opening()
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        QCOMPARE(circuits->count(), 4);
        QCOMPARE(circuits->itemText(3), QStringLiteral("5"));
        QCOMPARE(circuits->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(m_week, "Combo_Yobi")->itemText(8), QStringLiteral("毎日"));
        QVERIFY(child(m_week, "DataGrid1")->isHidden());
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("900"));
        QCOMPARE(child<QPushButton>(m_week, "Button_Copy")->text(), QStringLiteral("コピー (&C)"));
    }

    void circuitAndDayChoices()
    {
        choose(2, 1);
        QCOMPARE(child<QLabel>(m_week, "Label_Mode")->text(), QStringLiteral("チャイム"));
        QCOMPARE(child<QLabel>(m_week, "Label_Pulse")->text(), QStringLiteral("10秒"));
        QVERIFY(child(m_week, "Button_Copy")->isEnabled());
        QVERIFY(!grid()->isHidden());
        // Copy: time-signal and chime circuits, single days only; the state
        // follows both boxes.
        const std::initializer_list<std::tuple<int, int, bool>> cases{
            {2, 7, false}, {2, 6, true}, {2, 8, false}, {1, 8, false}, {1, 0, true}, {3, 1, false}, {5, 7, false},
            {5, 0, false}, {1, 0, true}};
        for (auto [circuit, day, enabled] : cases) {
            choose(circuit, day);
            QVERIFY2(child(m_week, "Button_Copy")->isEnabled() == enabled,
                     qPrintable(QStringLiteral("circuit %1 day %2").arg(circuit).arg(day)));
        }
        QCOMPARE(child<QLabel>(m_week, "Label_Mode")->text(), QStringLiteral("報時"));
        QCOMPARE(child<QLabel>(m_week, "Label_Pulse")->text(), QStringLiteral("5秒"));
    }

    void newWeekdayChimeThroughTheDialog()
    {
        choose(2, 7);
        click(m_week, "Button_New");
        QVERIFY(qobject_cast<Form_EditTime*>(m_dialog.get()));
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("0,00,00,1"));
        type("Text_Hour", QStringLiteral("１２"));  // full-width digits
        type("Text_Minute", QStringLiteral("30"));
        type("Text_Chime", QStringLiteral("3"));
        click(dialog(), "Button_OK");
        QVERIFY(dialog()->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 2 AND TimeONH = 12 AND TimeONM = 30 AND "
                       "ChimeNO = 3 AND YobiON BETWEEN 1 AND 5"),
                 5);
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("895"));

        // Edit the listed program: the dialog shows it, the change moves all five rows.
        grid()->selectRow(0);
        click(m_week, "Button_Edit");
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}),
                 QStringLiteral("12,30,00,3"));
        type("Text_Minute", QStringLiteral("45"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE TimeONM = 45"), 5);
        QCOMPARE(WeekRowCount(), 5);
    }

    // OK names the first bad box in order and leaves focus there; leaving a
    // box checks it alone.
    void entryChecks()
    {
        choose(1, 2);
        click(m_week, "Button_New");
        activate(dialog());
        type("Text_Hour", QString());
        type("Text_Minute", QStringLiteral("75"));
        child(dialog(), "Text_Minute")->setFocus();
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～23の値を設定してください。")});
        QCOMPARE(QApplication::focusWidget(), child(dialog(), "Text_Hour"));
        QVERIFY(dialog()->isVisible());
        QCOMPARE(WeekRowCount(), 0);

        type("Text_Hour", QStringLiteral("1"));
        auto* minute = child<QLineEdit>(dialog(), "Text_Minute");
        minute->setFocus();
        minute->setText(QStringLiteral("1e1"));
        MessageBox::clearShown();
        child(dialog(), "Text_Hour")->setFocus();
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～59の値を設定してください。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), minute);
    }

    void chimeEndAdjustment()
    {
        choose(2, 1);
        click(m_week, "Button_New");
        type("Text_Second", QStringLiteral("10"));
        auto* adjust = child<QCheckBox>(dialog(), "Check_Chime");
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,46"));
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        type("Text_Chime", QStringLiteral("4"));  // undone with melody 1's length
        QVERIFY(!adjust->isChecked());
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,15"));
    }

    void capacityRefusalWritesNothing()
    {
        fillWeekTo(896);
        choose(1, 7);
        click(m_week, "Button_New");
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|設定可能数900を超えてしまうため作成できません。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(WeekRowCount(), 896);
        QVERIFY(dialog()->isHidden());
    }

    // Deleting from the 平日 view takes the five weekdays; deleting one day of
    // them takes the program out of the 平日 view too.
    void deleteInGroupAndSingleDayViews()
    {
        for (int day = 0; day <= 6; ++day)
            addWeekRow(2, 0, day, 0, 7, 30, 5, 0, 0, 0, 3);
        RenumberTable("T_Week");
        choose(2, 7);
        grid()->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_Delete");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|削除しますか？")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Question);
        QCOMPARE(MessageBox::lastShown().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week"), 2);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("898"));
        choose(2, 6);
        grid()->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::No);
        click(m_week, "Button_Delete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week"), 2);
        MessageBox::queueAnswer(QMessageBox::Yes);
        grid()->selectRow(0);
        click(m_week, "Button_Delete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 0"), 1);
        QCOMPARE(grid()->rowCount(), 0);

        for (int day = 1; day <= 5; ++day)
            addWeekRow(2, 0, day, 0, 7, 30, 5, 0, 0, 0, 3);
        RenumberTable("T_Week");
        choose(2, 3);
        grid()->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_Delete");
        choose(2, 7);
        QCOMPARE(grid()->rowCount(), 0);
        choose(2, 1);
        grid()->selectRow(0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 時 刻")), QStringLiteral(" 7:30.05"));
    }

    void deleteAll()
    {
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 0, 3, 0, 9, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addWeekRow(2, 0, 1, 0, 8, 0, 0, 0, 0, 0, 1);
        choose(1, 1);
        MessageBox::clearShown();
        click(m_week, "Button_AllDelete");  // default answer No
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|回路No.1 の週間プログラムをすべて削除しますか？")});
        QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
        QCOMPARE(WeekRowCount(), 4);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_AllDelete");
        QCOMPARE(shownMessages().last(), QStringLiteral("週間プログラム|回路No.1 の週間プログラムをすべて削除しました。"));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Information);
        QCOMPARE(WeekRowCount(), 2);
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("898"));
    }

    // The source starts unchosen: OK asks for a day instead of copying 日.
    void copyADay()
    {
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 0, 1, 0, 9, 0, 0);
        choose(1, 2);
        click(m_week, "Button_Copy");
        auto* source = child<QComboBox>(dialog(), "Combo_SendYobi");
        QCOMPARE(source->count(), 1);
        QCOMPARE(source->currentIndex(), -1);
        QCOMPARE(child<QLabel>(dialog(), "Label_ReceiveYobi")->text(), QStringLiteral("火曜日"));
        QVERIFY(!child(dialog(), "Option_Copy_1")->isEnabled());
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("コピー|曜日が選択されていません")});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(WeekRowCount(), 2);
        chooseFirstSource();
        click(dialog(), "Button_OK");
        QCOMPARE(grid()->rowCount(), 2);
        QCOMPARE(WeekRowCount(), 4);
    }

    void copyToSpecialOffersEveryDay()
    {
        addWeekRow(2, 0, 3, 0, 8, 0, 0, 0, 0, 0, 1);
        addWeekRow(2, 4, 0, 0, 8, 0, 0, 0, 0, 0, 1);
        EditRequest = EditRequestData{};
        EditRequest.CircuitNO = 2;
        EditRequest.SpecialNO = 5;
        EditRequest.YobiON = 3;  // left over from an earlier hand-over
        Form_Copy copy;
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("水"));
        QCOMPARE(child<QLabel>(&copy, "Label_ReceiveYobi")->text(), QStringLiteral("特殊番号 5"));
        child<QRadioButton>(&copy, "Option_Copy_1")->setChecked(true);
        QCOMPARE(child<QLabel>(&copy, "Label_Copy")->text(), QStringLiteral("特殊番号"));
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("4"));
        child<QComboBox>(&copy, "Combo_SendYobi")->setCurrentIndex(0);
        click(&copy, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 5"), 1);
    }

    void newRequestByType()
    {
        captureDialogs();
        EditRequest = kStaleRequest;
        choose(1, 0);
        click(m_week, "Button_New");
        QCOMPARE(m_opened, QStringList{QStringLiteral("Form_EditTime|0,0,1,0,0,0,0,0,0:0:0,0:0,1")});
        EditRequest = kStaleRequest;
        choose(5, 7);
        click(m_week, "Button_New");
        QCOMPARE(m_opened.last(), QStringLiteral("Form_EditTimeTimer|0,0,5,0,0,0,7,7,0:0:0,0:0,1"));
        // Without a day nothing opens.
        choose(2, -1);
        click(m_week, "Button_New");
        QCOMPARE(m_opened.size(), 2);
    }

    void editRequestByType()
    {
        addWeekRow(1, 0, 3, 0, 8, 5, 0);
        addWeekRow(2, 0, 1, 0, 8, 5, 30, 0, 0, 0, 4);
        addWeekRow(3, 0, 5, 6, 22, 0, 0, 6, 0);
        addWeekRow(5, 0, 2, 2, 9, 0, 0, 17, 30, 15);
        for (int day = 0; day <= 6; ++day)
            addWeekRow(3, 0, day, (day + 1) % 7, 23, 0, 0, 5, 45);
        RenumberTable("T_Week");
        captureDialogs();
        auto editRow = [this](int circuit, int day) {
            EditRequest = kStaleRequest;
            choose(circuit, day);
            grid()->selectRow(0);
            click(m_week, "Button_Edit");
            return m_opened.isEmpty() ? QString() : m_opened.takeLast();
        };
        const auto id = [](const char* where) {
            return QString::number(count(QStringLiteral("SELECT ID FROM T_Week WHERE ") + QLatin1String(where)));
        };
        QCOMPARE(editRow(1, 3), "Form_EditTime|" + id("CircuitNO = 1") + ",-1,1,0,0,0,3,0,8:5:0,0:0,1");
        QCOMPARE(editRow(2, 1), "Form_EditTime|" + id("CircuitNO = 2") + ",-1,2,0,0,4,1,0,8:5:30,0:0,1");
        QCOMPARE(editRow(3, 5), "Form_EditTimeTimer|" + id("CircuitNO = 3 AND YobiON = 5 AND TimeONH = 22") +
                                       ",-1,3,0,0,0,5,6,22:0:0,6:0,1");
        QCOMPARE(editRow(5, 2), "Form_EditTimeTimer|" + id("CircuitNO = 5") + ",-1,5,0,15,0,2,2,9:0:0,17:30,1");
        // A group row stands for several rows: no ID.
        QCOMPARE(editRow(3, 8), QStringLiteral("Form_EditTimeTimer|0,-1,3,0,0,0,8,0,23:0:0,5:45,1"));
        // No selected row, no dialog.
        choose(1, 3);
        click(m_week, "Button_Edit");
        QVERIFY(m_opened.isEmpty());
    }

    void gridColumnsByTypeAndView()
    {
        choose(1, -1);
        QVERIFY(!grid()->isHidden());
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(visibleCaptions(), QStringList{QStringLiteral(" 時 刻")});
        choose(2, 8);
        QCOMPARE(visibleCaptions(), (QStringList{" 時 刻", " 曲番号"}));
        choose(3, 4);
        QCOMPARE(visibleCaptions(), (QStringList{" 開始曜日", " 開始時刻", " 終了曜日", " 終了時刻"}));
        choose(3, 7);
        QCOMPARE(visibleCaptions(), (QStringList{" 開始時刻", " 終了時刻"}));
        choose(5, 0);
        QCOMPARE(visibleCaptions(), (QStringList{"繰返し間隔(分)", " 開始曜日", " 開始時刻", " 終了曜日", " 終了時刻"}));
        choose(5, 8);
        QCOMPARE(visibleCaptions(), (QStringList{"繰返し間隔(分)", " 開始時刻", " 終了時刻"}));
    }

    void captionsAreNotCut()
    {
        const QFont before = QApplication::font();
        QFont japanese(QStringLiteral("Noto Sans CJK JP"));
        japanese.setPointSize(10);
        QApplication::setFont(japanese);
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        delete m_week;
        m_week = new Form_Week;
        m_week->show();
        choose(5, 1);
        QHeaderView* header = grid()->horizontalHeader();
        for (int column = 0; column < header->count(); ++column) {
            if (grid()->isColumnHidden(column))
                continue;
            const QString caption = grid()->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(grid()->columnWidth(column) >= header->fontMetrics().horizontalAdvance(caption) + 4,
                     qPrintable(caption));
        }
    }

    void copyNeedsCircuitAndDay()
    {
        captureDialogs();
        click(m_week, "Button_Copy");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|回路が選択されていません")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Circuit"));
        choose(2, -1);
        MessageBox::clearShown();
        click(m_week, "Button_Copy");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|曜日が選択されていません")});
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Yobi"));
        QVERIFY(m_opened.isEmpty());
    }

    void copyAtCapacity()
    {
        for (int hour : {1, 2, 3})
            addWeekRow(1, 0, 1, 0, hour, 0, 0);
        fillWeekTo(899);
        choose(1, 3);
        click(m_week, "Button_Copy");
        chooseFirstSource();
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|設定可能数900を超えているためコピーできないデータがありました。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("0"));

        choose(1, 4);
        click(m_week, "Button_Copy");
        chooseFirstSource();
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("入力エラー|設定可能数900を超えているためコピーできませんでした。")});
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(WeekRowCount(), 900);
    }

    void rowChosenByClickingItOrItsHeader()
    {
        addWeekRow(5, 0, 2, 2, 9, 0, 0, 17, 30, 15);
        addWeekRow(5, 0, 2, 2, 18, 0, 0, 19, 0, 5);
        RenumberTable("T_Week");
        choose(5, 2);
        QCOMPARE(grid()->selectedRow(), -1);
        const QModelIndex cell = grid()->model()->index(1, grid()->columnOf(QStringLiteral("終了時刻")));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(cell).center());
        QCOMPARE(grid()->selectedRow(), 1);
        QCOMPARE(grid()->selectedText(QStringLiteral("繰返し間隔(分)")), QStringLiteral("5"));
        QCOMPARE(recordSelectors(), QStringLiteral("|▶"));
        QHeaderView* rows = grid()->verticalHeader();
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          QPoint(rows->width() / 2, rows->sectionViewportPosition(0) + 4));
        QCOMPARE(grid()->selectedRow(), 0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 開始時刻")), QStringLiteral(" 9:00"));
        QCOMPARE(recordSelectors(), QStringLiteral("▶|"));
        // " 9:00" over "18:00": the times are right-aligned so that their colons line up.
        for (const char* time : {"開始時刻", "終了時刻"}) {
            const QModelIndex cell = grid()->model()->index(0, grid()->columnOf(QString::fromUtf8(time)));
            QCOMPARE(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        }
    }

private:
    void choose(int circuit, int day)
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText(QString::number(circuit)));
        child<QComboBox>(m_week, "Combo_Yobi")->setCurrentIndex(day);
    }
    void chooseFirstSource() { child<QComboBox>(dialog(), "Combo_SendYobi")->setCurrentIndex(0); }
    // Opened dialogs are recorded as "class|request" and closed at once.
    void captureDialogs()
    {
        m_week->openDialog = [this](QDialog* dialog) {
            m_opened << QLatin1String(dialog->metaObject()->className()) + QLatin1Char('|') + requestText(EditRequest);
            delete dialog;
        };
    }
    QStringList visibleCaptions()
    {
        QStringList captions;
        for (int column = 0; column < grid()->model()->columnCount(); ++column)
            if (!grid()->isColumnHidden(column))
                captions << grid()->model()->headerData(column, Qt::Horizontal).toString();
        return captions;
    }
    ProgramGrid* grid() { return child<ProgramGrid>(m_week, "DataGrid1"); }
    QString recordSelectors()
    {
        QStringList marks;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            marks << grid()->model()->headerData(row, Qt::Vertical).toString();
        return marks.join(QLatin1Char('|'));
    }
    QDialog* dialog()
    {
        if (!m_dialog)
            qFatal("no dialog open");
        return m_dialog.get();
    }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }

    std::unique_ptr<ScratchStore> m_store;
    Form_Week* m_week = nullptr;
    std::unique_ptr<QDialog> m_dialog;
    QStringList m_opened;
};

QTEST_MAIN(TestWeekWindows)
#include "test_week_windows.moc"
