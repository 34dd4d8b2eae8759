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

// Remaining-capacity labels: for "Form_Week" or "Form_Special" sets that
// window's Label_ProgramCount to the free week rows; other names do nothing.
void UpdateProgramCount(const QString& formName);
// Sets Form_Year's Label_ProgramCount to the free dated rows.
void UpdateYearProgramCount();

// Places a top-level window in the middle of its screen.
void centerOnScreen(QWidget* window);

// Makes a window's heading label (Label_Titile) bold and larger.
void styleHeading(QLabel* heading, qreal scale);
