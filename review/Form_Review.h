#pragma once
#include <QDate>
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// 年間チェック: what in the year programs of a 年度 looks like a mistake,
// each finding with its circuit and days, and the room left in the store.
// Before 書込 it offers to write anyway or to go back; from the year
// window it only closes. It never changes the schedule.
class Form_Review : public QDialog
{
    Q_OBJECT
public:
    enum class Use { BeforeWrite, Browse };
    // schoolYear 0: the 年度 the dated entries mostly fall in.
    explicit Form_Review(Use use, int schoolYear = 0, QWidget* parent = nullptr);

    // BeforeWrite: 「今後表示しない」 ticked.
    bool dontShowAgain() const;

signals:
    // A finding or one of its days clicked.
    void dayChosen(int circuit, QDate day);

private:
    void buildWindow(Use use);
    void Button_Check_Click();
    void showReview(int schoolYear);
    void itemClicked(QTreeWidgetItem* item);

    QLabel* Label_Titile = nullptr;
    QLineEdit* Text_SchoolYear = nullptr;
    QPushButton* Button_Check = nullptr;
    QLabel* Label_Summary = nullptr;
    QTreeWidget* List_Findings = nullptr;
    QLabel* Label_Room = nullptr;
    QCheckBox* Check_DontShow = nullptr;
    QPushButton* Button_WriteAnyway = nullptr;
    QPushButton* Button_Back = nullptr;
    QPushButton* Button_Close = nullptr;
};
