#pragma once
#include <QString>
#include <QtGlobal>

class QLabel;
class QWidget;

// True when a window with exactly this objectName is currently loaded.
// A window that has been closed counts as unloaded at once, even before Qt
// deletes it.
bool IsFormLoaded(const QString& name);
void MarkFormUnloaded(QWidget* window);

// The loaded window with this objectName, or null.
QWidget* FindForm(const QString& name);

// Places a top-level window before its first show: centred on the main
// window (where that is, or was last shown), or on the screen when there is
// none, and kept inside the screen. Every top-level window goes through it,
// the main window included, which then keeps its place when it is hidden
// and shown again. Dialogs owned by a window are centred on it by Qt.
void placeWindow(QWidget* window);
// Moves a shown window that grew past its screen's edge back inside it.
void keepInsideScreen(QWidget* window);

// The width a window needs to show its whole title in the window manager's
// title bar, beside the window icon and buttons.
int titleBarWidth(const QString& title);

// Makes a window's heading label (Label_Titile) bold and larger.
void styleHeading(QLabel* heading, qreal scale);
