#pragma once
#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

// Every message the editor shows goes through here, so that every box is
// drawn alike (wide enough for its title, focus back to the window it came
// from) and tests can answer boxes and read what they said without a real
// modal dialog. The texts and titles stay with the windows that show them.
namespace MessageBox {

enum class Icon { None, Exclamation, Critical, Information, Question };

using Button = QMessageBox::StandardButton;
using Buttons = QMessageBox::StandardButtons;

struct Shown {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons;
    Button defaultButton = QMessageBox::NoButton;
};

// Shows a box and returns the button pressed. Without a default button the
// first of the buttons is the default.
Button show(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons = QMessageBox::Ok,
            Button defaultButton = QMessageBox::NoButton);

// The program-wide "エラー" box: the failure's description, OK only, no icon.
void showError(QWidget* parent, const QString& description);

// --- Test seam ---------------------------------------------------------
// In scripted mode no real box is shown: each box takes the next queued
// answer, or its default button when the queue is empty, and is recorded.
void setScripted(bool scripted);
void queueAnswer(Button answer);
QList<Shown> shown();
Shown lastShown();
void clearShown();

}  // namespace MessageBox
