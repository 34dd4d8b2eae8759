#pragma once
#include <QSize>
#include <QString>
#include <array>

class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;
class ProgramGrid;

// Where コピー stands among the buttons: the week list puts it before
// 全削除, the special window after. Creation order is also Tab order.
enum class CopyPlace { BeforeAllDelete, AfterAllDelete };

// The program list part of the week list and the special window: program
// type and output time, remaining count, the grid and its buttons.
struct ListControls {
    QLabel* Label2 = nullptr;
    QLabel* Label_Mode = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label_Pulse = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label_ProgramCount = nullptr;
    ProgramGrid* DataGrid1 = nullptr;
    QPushButton* Button_New = nullptr;
    QPushButton* Button_Edit = nullptr;
    QPushButton* Button_Delete = nullptr;
    QPushButton* Button_Copy = nullptr;
    QPushButton* Button_AllDelete = nullptr;
    QPushButton* Button_Bells = nullptr;  // 時程から作成, time-signal and chime circuits
    QPushButton* Button_Close = nullptr;

    // What differs: the count's tooltip, the grid's size, 閉じる's tooltip
    // and where コピー stands.
    void createListControls(QWidget* window, const QString& countTip, QSize gridMinimum, const QString& closeTip,
                            CopyPlace copy);
    // The five list buttons, 時程から作成, the remaining count below them,
    // 閉じる last.
    QVBoxLayout* buttonColumn() const;

private:
    std::array<QPushButton*, 5> m_buttonOrder{};
};

// A framed label that shows a value.
QLabel* makeValueLabel(QWidget* parent, const char* name);
