#pragma once
#include "store/StoreChanges.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QUndoStack;
class ScheduleDocument;
class StoreImage;

// The editor's history of changes (元に戻す / やり直し) to one document.
// Every user action that changes the schedule is one step however many rows
// it touches; a step keeps images of the store before and after it, and
// undoing or redoing it puts one of them back in one transaction, which the
// document's change signal then announces to every open window. The editor
// owns it with its document; the windows get it from their opener.
class UndoHistory : public QObject
{
    Q_OBJECT
public:
    // Steps kept; the oldest goes when a new one would exceed it.
    static constexpr int kStepLimit = 100;

    explicit UndoHistory(ScheduleDocument& document);
    ~UndoHistory() override;

    ScheduleDocument& document() const { return m_document; }
    QUndoStack& stack() const;

    // Empties the history (新規, the end of the program).
    void clear();

    // What the next undo or redo would do, "" when nothing.
    QString undoText() const;
    QString redoText() const;

    // Undo or redo the next step; false when there is none or while a step
    // is being recorded. A step whose tables no longer hold what it left
    // (work done outside the history) is not put back over them: the history
    // is dropped instead, `dropped` says so, and false is returned. Throws
    // StoreError, and then nothing moved.
    bool undo();
    bool redo();

    // Bytes of store images the history holds (data shared between steps is
    // counted once per step).
    qsizetype imageBytes() const;

signals:
    // Says why the history was emptied without being asked to (the store no
    // longer holds what a step left, or a step could not be recorded), so
    // that the windows tell the user.
    void dropped(const QString& reason);

private:
    friend class UndoStep;
    struct Recording;
    struct KnownStore;

    StoreImage currentImage();
    void dropHistory(const QString& reason);
    void tablesAreNow(StoreChanges::Changes kinds, const StoreImage& image);
    bool putBack(const StoreImage& expected, const StoreImage& image, StoreChanges::Changes kinds);

    ScheduleDocument& m_document;
    std::unique_ptr<QUndoStack> m_stack;
    std::unique_ptr<Recording> m_recording;
    std::unique_ptr<KnownStore> m_known;
    int m_stepDepth = 0;
};

// One user action: whatever the history's document holds differently
// between this object's construction and its destruction becomes one step
// named `label`. Nested steps join the outermost. An action that changed
// nothing (refused, cancelled, or rolled back by a failure) leaves no step.
class UndoStep
{
public:
    UndoStep(UndoHistory& history, const QString& label);
    ~UndoStep();

    // State outside the store that the step also puts back, such as the
    // main window's 新規/編集 choice: `before` runs after an undo, `after`
    // after a redo.
    void alsoPutBack(std::function<void()> before, std::function<void()> after);

    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    UndoHistory& m_history;
    bool m_outermost = false;
};
