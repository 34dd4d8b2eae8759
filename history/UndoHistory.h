#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QUndoStack;

// Says why the history was emptied without being asked to (the store no
// longer holds what a step left, or a step could not be recorded), so that
// the windows tell the user.
class HistoryDropped : public QObject
{
    Q_OBJECT
public:
    static HistoryDropped& instance();

signals:
    void dropped(const QString& reason);

private:
    HistoryDropped() = default;
};

// The editor's one history of changes (元に戻す / やり直し). Every user
// action that changes the schedule is one step however many rows it
// touches; a step keeps images of the store before and after it, and
// undoing or redoing it puts one of them back in one transaction, which the
// store's change signal then announces to every open window.
namespace UndoHistory {

// Steps kept; the oldest goes when a new one would exceed it.
constexpr int kStepLimit = 100;

QUndoStack& stack();

// Empties the history (新規, the end of the program).
void clear();

// What the next undo or redo would do, "" when nothing.
QString undoText();
QString redoText();

// Undo or redo the next step; false when there is none or while a step is
// being recorded. A step whose tables no longer hold what it left (work
// done outside the history) is not put back over them: the history is
// dropped instead, HistoryDropped says so, and false is returned. Throws
// StoreError, and then nothing moved.
bool undo();
bool redo();

// Bytes of store images the history holds (data shared between steps is
// counted once per step).
qsizetype imageBytes();

}  // namespace UndoHistory

// One user action: whatever the store holds differently between this
// object's construction and its destruction becomes one step named `label`.
// Nested steps join the outermost. An action that changed nothing (refused,
// cancelled, or rolled back by a failure) leaves no step.
class UndoStep
{
public:
    explicit UndoStep(const QString& label);
    ~UndoStep();

    // State outside the store that the step also puts back, such as the
    // main window's 新規/編集 choice: `before` runs after an undo, `after`
    // after a redo.
    void alsoPutBack(std::function<void()> before, std::function<void()> after);

    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    bool m_outermost = false;
};
