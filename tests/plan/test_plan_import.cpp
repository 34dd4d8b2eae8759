#include "TestSupport.h"
#include "history/UndoHistory.h"
#include "plan/Form_PlanImport.h"
#include "store/ScheduleDocument.h"
#include "ui/FileDialog.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUndoStack>
#include <QtTest>

using namespace TestSupport;

namespace {

// Circuit 1's dated entries as "year/month/day:special", in ID order.
QString entries()
{
    return Scratch::scalar(QStringLiteral("SELECT group_concat(entry, ' ') FROM (SELECT Year || '/' || Month || "
                                               "'/' || Day || ':' || SpecialNO AS entry FROM T_Year "
                                               "WHERE CircuitNO = 1 ORDER BY ID)"))
        .toString();
}

const QString kTable = QStringLiteral("2028年度 行事予定\n"
                                      "日付\t曜日\t行事\t日課\n"
                                      "4/6\t木\t始業式\t短縮\n"
                                      "4/7\t金\t\t通常\n"
                                      "4/20\t木\t遠足\t短縮\n"
                                      "4/21\t金\t\t\n"
                                      "5/1\t月\t\tテスト\n");

// Each 日課 row of the list: "name days choice".
QString nameRows(QWidget* window)
{
    auto* grid = child<QTableWidget>(window, "Grid_Names");
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row)
        rows << grid->item(row, 0)->text() + ' ' + grid->item(row, 1)->text() + ' '
                    + qobject_cast<QComboBox*>(grid->cellWidget(row, 2))->currentText();
    return rows.join(QStringLiteral(", "));
}

void choose(QWidget* window, int row, const QString& text)
{
    auto* box = qobject_cast<QComboBox*>(child<QTableWidget>(window, "Grid_Names")->cellWidget(row, 2));
    box->setCurrentIndex(box->findText(text));
}

}  // namespace

class TestPlanImport : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        setOneCircuitOfEachType();
        m_namesDir = std::make_unique<QTemporaryDir>();
        m_names = SpecialNames::NamesFile::read(m_namesDir->filePath(QStringLiteral("names.json")));
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
        m_year = std::make_unique<Form_Year>(Scratch::history(), YearWindowPlace{1, QDate(2028, 5, 10)});
        Form_PlanImport::attachTo(Scratch::history(), m_year.get(), m_names);
        m_year->show();
    }

    void cleanup()
    {
        m_dialogs.clear();
        m_year.reset();
        m_store.reset();
    }

    // Each row on a fresh store: the rows stored on circuit 1 (year, month, day, number), fillers of circuit 8,
    // the choices for 短縮, 通常 and テスト, the answer for days holding another entry (-1: none), then what OK
    // leaves: the entries, the messages, the conflicts listed and the room shown.
    void settingTheTable_data()
    {
        QTest::addColumn<QList<QList<int>>>("stored");
        QTest::addColumn<int>("filled");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("room");

        const QList<QList<int>> held{{28, 4, 7, 5}, {28, 4, 20, 0}};
        QTest::newRow("overwritten") << held << 0 << QStringList{"3", "設定なし", "停止"} << 0
                                     << "28/4/6:3 28/4/20:3 28/5/1:0" << "" << "年間プログラムの残り: 497（設定前 498）";
        QTest::newRow("kept") << held << 0 << QStringList{"3", "設定なし", "停止"} << 1
                              << "28/4/6:3 28/4/20:0 28/5/1:0" << "" << "年間プログラムの残り: 497（設定前 498）";
        QTest::newRow("no answer") << held << 0 << QStringList{"3", "設定なし", "停止"} << -1
                                   << "28/4/7:5 28/4/20:0"
                                   << "設定済みで内容の異なる日が1日あります。上書きするか、そのままにするかを選択"
                                      "してください。"
                                   << "年間プログラムの残り: 497（設定前 498）";
        QTest::newRow("a name unchosen") << QList<QList<int>>() << 0 << QStringList{"3", "", "停止"} << -1 << ""
                                         << "日課「通常」の設定（設定なし・停止・特殊番号）を選択してください。"
                                         << "年間プログラムの残り: 497（設定前 500）";
        // Clearing 4/7 makes the room the two new days need.
        QTest::newRow("just fits") << held << 497 << QStringList{"3", "設定なし", "停止"} << 0
                                   << "28/4/6:3 28/4/20:3 28/5/1:0" << "" << "年間プログラムの残り: 0（設定前 1）";
        QTest::newRow("over capacity") << held << 498 << QStringList{"3", "設定なし", "停止"} << 0
                                       << "28/4/7:5 28/4/20:0"
                                       << "年間プログラムの設定可能数500を超えてしまうため作成できません。\r\n"
                                          "新たに設定する日は1日、設定できるのはあと0日です。"
                                       << "年間プログラムの残り: -1（設定前 0）";
    }

    void settingTheTable()
    {
        QFETCH(QList<QList<int>>, stored);
        QFETCH(int, filled);
        QFETCH(QStringList, choices);
        QFETCH(int, answer);
        for (const QList<int>& row : stored)
            addYearRow(1, row[0], row[1], row[2], row[3]);
        for (int day = 0; day < filled; ++day)
            addYearRow(8, 27, 1 + day / 28, 1 + day % 28, 0);
        const QString before = storeSnapshot();
        const int steps = Scratch::history().stack().index();

        click(m_year.get(), "Button_Plan");
        QCOMPARE(int(m_dialogs.size()), 1);
        QDialog* window = m_dialogs.back().get();
        QCOMPARE(window->windowTitle(), QStringLiteral("行事予定から設定（回路1）"));
        auto* schoolYear = child<QSpinBox>(window, "Text_SchoolYear");
        schoolYear->setValue(2030);  // the title's 年度 is taken
        qobject_cast<Form_PlanImport*>(window)->pasteText(kTable);
        QCOMPARE(schoolYear->value(), 2028);
        QCOMPARE(nameRows(window), QStringLiteral("短縮 2日 , 通常 1日 , テスト 1日 "));
        for (int row = 0; row < choices.size(); ++row)
            choose(window, row, choices[row]);
        if (answer >= 0)
            child<QRadioButton>(window, QStringLiteral("Option_Existing_%1").arg(answer))->click();
        QTEST(child<QLabel>(window, "Label_Room")->text(), "room");
        click(window, "Button_OK");

        QTEST(entries(), "result");
        QTEST(shownMessages().join('\n').section('|', 1), "message");
        if (!shownMessages().isEmpty()) {
            QCOMPARE(storeSnapshot(), before);
            QCOMPARE(Scratch::history().stack().index(), steps);
            QVERIFY(window->isVisible());
            return;
        }
        QVERIFY(!window->isVisible());
        // One step puts everything back; the calendar shows the first day set.
        QCOMPARE(Scratch::history().stack().index(), steps + 1);
        QCOMPARE(Scratch::history().undoText(), QStringLiteral("行事予定から設定（回路1）"));
        QCOMPARE(m_year->place().day, QDate(2028, 4, 6));
        // The names and choices are kept for next year's table.
        const SpecialNames::Names kept = SpecialNames::Names::read(m_names.path);
        QCOMPARE(kept.name(3) + ' ' + kept.numberText(3), QStringLiteral("短縮 3 短縮"));
        QVERIFY(kept.choice(QStringLiteral("通常")) == SpecialNames::DutyChoice::clear());
        QVERIFY(Scratch::history().undo());
        QCOMPARE(storeSnapshot(), before);
    }

    // Next year's table maps itself by the choices remembered; the special numbers show their names.
    void choicesRemembered()
    {
        m_names.names.setName(2, QStringLiteral("テスト"));
        m_names.names.setChoice(QStringLiteral("短縮"), SpecialNames::DutyChoice::runSpecial(3));
        m_names.names.setChoice(QStringLiteral("テスト"), SpecialNames::DutyChoice::runSpecial(2));
        click(m_year.get(), "Button_Plan");
        QDialog* window = m_dialogs.back().get();
        qobject_cast<Form_PlanImport*>(window)->pasteText(kTable);
        QCOMPARE(nameRows(window), QStringLiteral("短縮 2日 3, 通常 1日 , テスト 1日 2 テスト"));
        QVERIFY(child<QLabel>(window, "Label_Changes")->text().contains(QStringLiteral("「通常」1日: 未選択")));
    }

    // Bad input is said in the window and nothing is listed; a table without a 日課 heading asks for the column.
    void tables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("column");  // Combo_Column's index chosen, -1 none
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("names");

        QTest::newRow("no dates") << "行事\t日課\n始業式\t短縮\n" << -1 << "日付の列が見つかりません。" << "";
        QTest::newRow("a date that is none") << "日付\t日課\n4/31\t短縮\n" << -1
                                             << "2 行目のセル A2「4/31」は存在しない日付です。" << "";
        QTest::newRow("no 日課 heading") << "日付\t行事\t予定\n4/6\t始業式\t短縮\n" << -1
                                         << "日課の列が見つかりません。日課の列を選んでください。" << "";
        QTest::newRow("column chosen") << "日付\t行事\t予定\n4/6\t始業式\t短縮\n" << 1 << "" << "短縮 1日 ";
    }

    void tables()
    {
        QFETCH(QString, table);
        QFETCH(int, column);
        QFETCH(QString, names);
        click(m_year.get(), "Button_Plan");
        QDialog* window = m_dialogs.back().get();
        qobject_cast<Form_PlanImport*>(window)->pasteText(table);
        if (column >= 0)
            child<QComboBox>(window, "Combo_Column")->setCurrentIndex(column);
        QTEST(child<QLabel>(window, "Label_Error")->text(), "error");
        QCOMPARE(nameRows(window), names);
        click(window, "Button_OK");
        QCOMPARE(entries(), QString());
    }

private:
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<QTemporaryDir> m_namesDir;
    SpecialNames::NamesFile m_names;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
    std::unique_ptr<Form_Year> m_year;
};

QTEST_MAIN(TestPlanImport)
#include "test_plan_import.moc"
