#pragma once
#include <QDate>
#include <QDialog>
#include <QMap>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ScheduleDocument;

// 年間チェック: what in the year programs of a 年度 looks like a mistake,
// each finding with its circuit and days, and the room left in the store.
// Before 書込 it offers to write anyway or to go back; from the year
// window it only closes. It never changes the schedule.
// The 年度 typed into `box`, or nothing after saying in a box (titled
// `title`) which years are allowed; the focus then goes back to the box.
std::optional<int> schoolYearTyped(QWidget* owner, QLineEdit* box, const QString& title);

class Form_Review : public QDialog
{
    Q_OBJECT
public:
    enum class Use { BeforeWrite, Browse };
    // The dated entries of `document`; schoolYear 0: the 年度 they mostly
    // fall in. `names`: the special numbers' names the findings show.
    Form_Review(ScheduleDocument& document, Use use, int schoolYear = 0, QWidget* parent = nullptr,
                QMap<int, QString> names = {});

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

    ScheduleDocument& m_document;
    QMap<int, QString> m_names;

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
