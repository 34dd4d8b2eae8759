#pragma once
#include <QString>

class QApplication;

// The editor is Japanese whatever the user's environment: the process's own
// locale variables, set before the application object exists.
void useJapaneseLocale();

// The C library's locale: the variables' ja_JP.UTF-8 where it is installed,
// else the built-in C.UTF-8, so that Xlib can still encode the Japanese window
// title (WM_NAME) that window lists read. Qt takes its texts and dates from
// the variables alone; they stay Japanese either way. Returns the locale set.
const char* useInstalledCLocale();

// The editor's look for facility staff in Japan: Japanese locale (weeks
// start on Sunday), the Noto CJK fonts, drop-down lists that open below
// their box and Qt's own texts in Japanese.
void applyJapaneseLook(QApplication& app);

// Says on standard error that the editor cannot start without a display;
// returns the exit status for it (1).
int refuseWithoutDisplay();

// Runs the editor: single-instance check, store, main window, event loop.
// `fileToOpen` (may be empty) is read once the main window is up, or handed
// to the editor already running.
int runEditor(int& argc, char** argv, const QString& fileToOpen = QString());
