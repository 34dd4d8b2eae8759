#pragma once

class QHBoxLayout;
class UndoHistory;
class QPushButton;
class QWidget;

// 元に戻す (Ctrl+Z) and やり直し (Ctrl+Y, Ctrl+Shift+Z) of the history, in
// one window: enabled when there is a step to take and no modal dialog
// other than the window itself is open, the tooltip naming the step
// (「元に戻す: 週間プログラムの削除（回路1）」).
void AddUndoShortcuts(QWidget* window, UndoHistory& history);

// The same, with two buttons (`Button_Undo`, `Button_Redo`) for the window
// to lay out where it has room.
struct UndoButtons {
    QPushButton* undo = nullptr;
    QPushButton* redo = nullptr;
};
UndoButtons AddUndoButtons(QWidget* window, UndoHistory& history);

// A window's heading row: its title, then the two buttons at the right.
QHBoxLayout* HeadingWithUndoButtons(QWidget* window, UndoHistory& history, QWidget* title);
