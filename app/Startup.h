#pragma once

class QApplication;

// The editor's look for facility staff in Japan: Japanese locale (weeks
// start on Sunday) and the Noto CJK fonts.
void applyJapaneseLook(QApplication& app);

// Runs the editor: single-instance check, store, main window, event loop.
int runEditor(int& argc, char** argv);
