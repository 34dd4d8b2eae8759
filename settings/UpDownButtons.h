#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons that steps the number in a text box within
// lo..hi. The buttons never take the focus, so stepping does not run the
// box's focus-loss check. "focusedLook" draws a highlight frame; the window
// sets it while the row it belongs to holds the focus.
class UpDownButtons : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool focusedLook READ focusedLook WRITE setFocusedLook)
public:
    UpDownButtons(QLineEdit* buddy, int lo, int hi, QWidget* parent = nullptr);

    // Steps the buddy's number; a box that holds no number starts from lo.
    void stepBy(int steps);

    bool focusedLook() const { return m_focusedLook; }
    void setFocusedLook(bool focused);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_buddy = nullptr;
    int m_lo;
    int m_hi;
    bool m_focusedLook = false;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
