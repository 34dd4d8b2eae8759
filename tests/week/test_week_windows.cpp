#include "TestSupport.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Copy.h"
#include "week/Form_Week.h"
#include "week/ProgramGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 900"));

        // The type and pulse follow the circuit, the columns the type and the
        // view; copy is for time-signal and chime circuits, single days only,
        // and follows both boxes.
        const std::initializer_list<std::tuple<int, int, const char*, const char*>> cases{
            {1, -1, "報時 5秒 コピー", " 時 刻"},
            {2, 1, "チャイム 10秒 コピー", " 時 刻| 曲番号"},
            {2, 7, "チャイム 10秒", " 時 刻| 曲番号"},
            {2, 6, "チャイム 10秒 コピー", " 時 刻| 曲番号"},
            {2, 8, "チャイム 10秒", " 時 刻| 曲番号"},
            {1, 8, "報時 5秒", " 時 刻"},
            {1, 0, "報時 5秒 コピー", " 時 刻"},
            {3, 1, "タイマ 0秒", " 開始曜日| 開始時刻| 終了曜日| 終了時刻"},
            {3, 7, "タイマ 0秒", " 開始時刻| 終了時刻"},
            {5, 7, "繰返し 3秒", "繰返し間隔(分)| 開始時刻| 終了時刻"},
            {5, 0, "繰返し 3秒", "繰返し間隔(分)| 開始曜日| 開始時刻| 終了曜日| 終了時刻"},
            {1, 0, "報時 5秒 コピー", " 時 刻"}};
        for (auto [circuit, day, labels, captions] : cases) {
            choose(circuit, day);
            QString shown = child<QLabel>(m_week, "Label_Mode")->text() + QLatin1Char(' ') +
                            child<QLabel>(m_week, "Label_Pulse")->text();
            if (child(m_week, "Button_Copy")->isEnabled())
                shown += QStringLiteral(" コピー");
            QCOMPARE(shown, QString::fromUtf8(labels));
            QCOMPARE(headers(Qt::Horizontal), QString::fromUtf8(captions));
        }
        QVERIFY(!grid()->isHidden());
    }

    void newWeekdayChimeThroughTheDialog()
    {
        choose(2, 7);
        click(m_week, "Button_New");
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("0,00,00,1"));
        type("Text_Hour", QStringLiteral("１２"));  // full-width digits
        type("Text_Minute", QStringLiteral("30"));
        type("Text_Chime", QStringLiteral("3"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 2 AND TimeONH = 12 AND TimeONM = 30 AND "
                       "ChimeNO = 3 AND YobiON BETWEEN 1 AND 5"),
                 5);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("1 895"));

        // Edit the listed program: the dialog shows it, the change moves all five rows.
        grid()->selectRow(0);
        click(m_week, "Button_Edit");
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("12,30,00,3"));
        type("Text_Minute", QStringLiteral("45"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE TimeONM = 45"), 5);
        QCOMPARE(WeekRowCount(), 5);

        // A program that would pass the capacity writes nothing.
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
    void deleting()
    {
        for (int day = 0; day <= 6; ++day)
            addWeekRow(2, 0, day, 0, 7, 30, 5, 0, 0, 0, 3);
        RenumberTable("T_Week");
        deleteFirstRow(2, 7, QMessageBox::Yes);
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|削除しますか？")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Question);
        QCOMPARE(MessageBox::lastShown().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(WeekRowCount(), 2);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 898"));
        deleteFirstRow(2, 6, QMessageBox::No);
        QCOMPARE(WeekRowCount(), 2);
        deleteFirstRow(2, 6, QMessageBox::Yes);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 0"), 1);
        QCOMPARE(grid()->rowCount(), 0);

        for (int day = 1; day <= 5; ++day)
            addWeekRow(2, 0, day, 0, 7, 30, 5, 0, 0, 0, 3);
        RenumberTable("T_Week");
        deleteFirstRow(2, 3, QMessageBox::Yes);
        choose(2, 1);
        grid()->selectRow(0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 時 刻")), QStringLiteral(" 7:30.05"));

        // 全削除 takes the circuit's week programs, not its special ones.
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 0, 3, 0, 9, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        choose(1, 1);
        MessageBox::clearShown();
        click(m_week, "Button_AllDelete");  // default answer No
        QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
        QCOMPARE(WeekRowCount(), 8);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_AllDelete");
        const QString ask = QStringLiteral("週間プログラム|回路No.1 の週間プログラムをすべて削除しますか？");
        QCOMPARE(shownMessages(), (QStringList{ask, ask, "週間プログラム|回路No.1 の週間プログラムをすべて削除しました。"}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Information);
        QCOMPARE(WeekRowCount(), 6);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 894"));
    }

    // Copy asks for a circuit and a day first; the source starts unchosen,
    // so OK asks for a day instead of copying 日.
    void copyADay()
    {
        click(m_week, "Button_Copy");
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Circuit"));
        choose(1, -1);
        click(m_week, "Button_Copy");
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Yobi"));
        QVERIFY(!m_dialog);
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 0, 1, 0, 9, 0, 0);
        choose(1, 2);
        click(m_week, "Button_Copy");
        auto* source = child<QComboBox>(dialog(), "Combo_SendYobi");
        QCOMPARE(source->count(), 1);
        QCOMPARE(child<QLabel>(dialog(), "Label_ReceiveYobi")->text(), QStringLiteral("火曜日"));
        QVERIFY(!child(dialog(), "Option_Copy_1")->isEnabled());
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(), (QStringList{"週間プログラム|回路が選択されていません",
                                               "週間プログラム|曜日が選択されていません", "コピー|曜日が選択されていません"}));
        QVERIFY(dialog()->isVisible());
        source->setCurrentIndex(0);
        click(dialog(), "Button_OK");
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("2 896"));

        // Near the capacity a copy stops at the first row that does not fit.
        fillWeekTo(899);
        MessageBox::clearShown();
        for (int day : {3, 4}) {
            choose(1, day);
            click(m_week, "Button_Copy");
            child<QComboBox>(dialog(), "Combo_SendYobi")->setCurrentIndex(0);
            click(dialog(), "Button_OK");
        }
        QCOMPARE(shownMessages(),
                 (QStringList{"入力エラー|設定可能数900を超えているためコピーできないデータがありました。",
                              "入力エラー|設定可能数900を超えているためコピーできませんでした。"}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(WeekRowCount(), 900);
    }

    void copyToSpecialOffersEveryDay()
    {
        addWeekRow(2, 0, 3, 0, 8, 0, 0, 0, 0, 0, 1);
        addWeekRow(2, 4, 0, 0, 8, 0, 0, 0, 0, 0, 1);
        // Circuit 2, special number 5; day 3 is left over from an earlier hand-over.
        EditRequest = EditRequestData{0, 0, 2, 5, 0, 0, 3};
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

    // New and edit hand the dialog a request of the chosen circuit and day;
    // nothing left from an earlier request gets through.
    void requestByType()
    {
        addWeekRow(1, 0, 3, 0, 8, 5, 0);
        addWeekRow(2, 0, 1, 0, 8, 5, 30, 0, 0, 0, 4);
        addWeekRow(3, 0, 5, 6, 22, 0, 0, 6, 0);
        addWeekRow(5, 0, 2, 2, 9, 0, 0, 17, 30, 15);
        for (int day = 0; day <= 6; ++day)
            addWeekRow(3, 0, day, (day + 1) % 7, 23, 0, 0, 5, 45);
        RenumberTable("T_Week");
        QStringList opened;
        m_week->openDialog = [&opened](QDialog* dialog) {
            opened << QLatin1String(dialog->metaObject()->className()) + QLatin1Char('|') + requestText(EditRequest);
            delete dialog;
        };
        const auto open = [this, &opened](const char* button, int circuit, int day) {
            EditRequest = kStaleRequest;
            choose(circuit, day);
            grid()->selectRow(0);
            click(m_week, button);
            return opened.isEmpty() ? QString() : opened.takeLast();
        };
        const auto id = [](const char* where) {
            return QString::number(count(QStringLiteral("SELECT ID FROM T_Week WHERE ") + QLatin1String(where)));
        };
        QCOMPARE(open("Button_New", 1, 0), QStringLiteral("Form_EditTime|0,0,1,0,0,0,0,0,0:0:0,0:0,1"));
        QCOMPARE(open("Button_New", 5, 7), QStringLiteral("Form_EditTimeTimer|0,0,5,0,0,0,7,7,0:0:0,0:0,1"));
        QCOMPARE(open("Button_New", 2, -1), QString());
        QCOMPARE(open("Button_Edit", 1, 3), "Form_EditTime|" + id("CircuitNO = 1") + ",-1,1,0,0,0,3,0,8:5:0,0:0,1");
        QCOMPARE(open("Button_Edit", 2, 1), "Form_EditTime|" + id("CircuitNO = 2") + ",-1,2,0,0,4,1,0,8:5:30,0:0,1");
        QCOMPARE(open("Button_Edit", 3, 5), "Form_EditTimeTimer|" + id("CircuitNO = 3 AND YobiON = 5 AND TimeONH = 22") +
                                                ",-1,3,0,0,0,5,6,22:0:0,6:0,1");
        QCOMPARE(open("Button_Edit", 5, 2),
                 "Form_EditTimeTimer|" + id("CircuitNO = 5") + ",-1,5,0,15,0,2,2,9:0:0,17:30,1");
        // A group row stands for several rows: no ID.
        QCOMPARE(open("Button_Edit", 3, 8), QStringLiteral("Form_EditTimeTimer|0,-1,3,0,0,0,8,0,23:0:0,5:45,1"));
        QCOMPARE(open("Button_Edit", 1, 0), QString());  // no row to edit
    }

    // In the Japanese font the captions fit their columns. A row is chosen
    // by clicking it or its header; times are right-aligned so that " 9:00"
    // over "18:00" line up.
    void gridLayoutAndChoosing()
    {
        const QFont before = QApplication::font();
        QFont japanese(QStringLiteral("Noto Sans CJK JP"));
        japanese.setPointSize(10);
        QApplication::setFont(japanese);
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        delete m_week;
        m_week = new Form_Week;
        m_week->show();
        addWeekRow(5, 0, 2, 2, 9, 0, 0, 17, 30, 15);
        addWeekRow(5, 0, 2, 2, 18, 0, 0, 19, 0, 5);
        RenumberTable("T_Week");
        choose(5, 2);
        QHeaderView* header = grid()->horizontalHeader();
        for (int column = 0; column < header->count(); ++column) {
            if (grid()->isColumnHidden(column))
                continue;
            const QString caption = grid()->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(grid()->columnWidth(column) >= header->fontMetrics().horizontalAdvance(caption) + 4,
                     qPrintable(caption));
        }

        QCOMPARE(grid()->selectedRow(), -1);
        const QModelIndex cell = grid()->model()->index(1, grid()->columnOf(QStringLiteral("終了時刻")));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(cell).center());
        QCOMPARE(grid()->selectedText(QStringLiteral("繰返し間隔(分)")), QStringLiteral("5"));
        QCOMPARE(headers(Qt::Vertical), QStringLiteral("|▶"));
        QHeaderView* rows = grid()->verticalHeader();
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          QPoint(rows->width() / 2, rows->sectionViewportPosition(0) + 4));
        QCOMPARE(grid()->selectedText(QStringLiteral(" 開始時刻")), QStringLiteral(" 9:00"));
        QCOMPARE(headers(Qt::Vertical), QStringLiteral("▶|"));
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
    // The rows listed and the programs left, as "rows remaining".
    QString gridRowsAndRemaining()
    {
        return QString::number(grid()->rowCount()) + ' ' + child<QLabel>(m_week, "Label_ProgramCount")->text();
    }
    void deleteFirstRow(int circuit, int day, QMessageBox::StandardButton answer)
    {
        choose(circuit, day);
        grid()->selectRow(0);
        MessageBox::queueAnswer(answer);
        click(m_week, "Button_Delete");
    }
    // The captions of the visible columns, or the row headers, joined by '|'.
    QString headers(Qt::Orientation orientation)
    {
        QStringList texts;
        const bool columns = orientation == Qt::Horizontal;
        for (int i = 0; i < (columns ? grid()->model()->columnCount() : grid()->model()->rowCount()); ++i)
            if (!columns || !grid()->isColumnHidden(i))
                texts << grid()->model()->headerData(i, orientation).toString();
        return texts.join(QLatin1Char('|'));
    }
    ProgramGrid* grid() { return child<ProgramGrid>(m_week, "DataGrid1"); }
    QDialog* dialog() { return m_dialog.get(); }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }
    QString texts(std::initializer_list<const char*> boxes)
    {
        QStringList values;
        for (const char* box : boxes)
            values << child<QLineEdit>(dialog(), box)->text();
        return values.join(QLatin1Char(','));
    }

    std::unique_ptr<ScratchStore> m_store;
    Form_Week* m_week = nullptr;
    std::unique_ptr<QDialog> m_dialog;
};

QTEST_MAIN(TestWeekWindows)
#include "test_week_windows.moc"
