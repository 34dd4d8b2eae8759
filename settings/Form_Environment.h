#pragma once
#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownButtons;

class UndoHistory;

// The circuit settings window: the program type, time value and manual
// chime tune of each of the eight circuits. Closing saves them into
// the circuit settings and shows the main window again.
class Form_Environment : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Rows = 8;

    explicit Form_Environment(UndoHistory& history, QWidget* parent = nullptr);
    ~Form_Environment() override;

    // Reads the stored settings into the rows.
    void Form_Load();
    // Writes the rows as the circuit settings.
    void SaveSettings();

    bool typeChangeBlocked() const { return TypeChangeBlocked; }

signals:
    // Closed for good; its opener comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectRows();

    int selectedType(int row) const;
    void UpdateRowState(int row);
    void Combo_Function_Click(int row);
    bool Combo_Function_LostFocus(int row, QWidget* next);
    void Button_Chime_Click(int row);
    void Button_Close_Click();

    bool CheckFunctionValue(int row);
    bool CheckChimeValue(int row);
    bool refuseTypeChange(int row);
    bool closeChecksPass();
    void focusChanged(QWidget* now);

    bool TypeChangeBlocked = false;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_KairoNo = nullptr;
    QLabel* Label_Program = nullptr;
    QLabel* Label_Pulse = nullptr;
    QLabel* Label_Chime = nullptr;
    std::array<QLabel*, Rows> Label_No{};
    std::array<QComboBox*, Rows> Combo_Function{};
    std::array<QLineEdit*, Rows> Text_Function{};
    std::array<UpDownButtons*, Rows> UpDown{};
    std::array<QLabel*, Rows> Label_Minus{};
    std::array<QLabel*, Rows> Label_Byo{};
    std::array<QLineEdit*, Rows> Text_Chime{};
    std::array<UpDownButtons*, Rows> UpDownChime{};
    std::array<QPushButton*, Rows> Button_Chime{};
    QPushButton* Button_Close = nullptr;
    UndoHistory& m_history;
};
