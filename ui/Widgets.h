#pragma once
#include <QSize>
#include <QString>
#include <functional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls are found by their objectName (tests, the remaining-count
// labels), so every window makes them named.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip,
                        QSize minimum);

// A number box, right-aligned. Like every number box it selects its whole
// text when it gets the focus (selectWholeOnFocus).
QLineEdit* makeNumberBox(QWidget* parent, const QString& name, int width);

// A number typed into `box` (a line edit or a spin box) replaces what it
// holds: its whole text is selected when it gets the focus by a click (unless
// the click drags a selection of its own), by Tab or as its window opens, but
// not when the focus only comes back from another window or a menu.
void selectWholeOnFocus(QWidget* box);

// Escape closes a working window as its 閉じる does (close(), so that its
// closing checks run); dialogs have it from QDialog already.
void closeOnEscape(QWidget* window);

// A dialog's closing buttons (OK, キャンセル), in order at the right.
QHBoxLayout* makeButtonRow(std::initializer_list<QWidget*> buttons);

// A circuit choice: the circuits 1 to 8 that `offered` takes, each with its
// number as data.
void fillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered);
// The same filled again with its signals held, keeping the circuit chosen
// while it is still offered; true when one is chosen.
bool refillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered);
