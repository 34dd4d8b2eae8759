#include "history/UndoActions.h"

#include "history/UndoHistory.h"
#include "ui/Guard.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolTip>
#include <QUndoStack>
#include <QWidget>

namespace {

const QString kUndoCaption = QStringLiteral("元に戻す");
const QString kRedoCaption = QStringLiteral("やり直し");

QString tipFor(const QString& caption, const QString& step)
{
    return step.isEmpty() ? caption : caption + QStringLiteral(": ") + step;
}

// Keeps one window's two actions in step with the history and with the
// window being blocked by a modal dialog (Qt tells the window so by events).
class UndoActionsOfWindow : public QObject
{
public:
    explicit UndoActionsOfWindow(QWidget* window)
        : QObject(window)
        , m_undo(new QAction(kUndoCaption, window))
        , m_redo(new QAction(kRedoCaption, window))
    {
        m_undo->setObjectName(QStringLiteral("Action_Undo"));
        m_redo->setObjectName(QStringLiteral("Action_Redo"));
        m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
        m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
        for (QAction* action : {m_undo, m_redo}) {
            action->setShortcutContext(Qt::WindowShortcut);
            window->addAction(action);
        }
        connect(m_undo, &QAction::triggered, this, guarded(window, [] { UndoHistory::undo(); }));
        connect(m_redo, &QAction::triggered, this, guarded(window, [] { UndoHistory::redo(); }));
        QUndoStack& stack = UndoHistory::stack();
        connect(&stack, &QUndoStack::indexChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::canUndoChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::canRedoChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::undoTextChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::redoTextChanged, this, &UndoActionsOfWindow::refresh);
        window->installEventFilter(this);
        refresh();
    }

    QAction* undo() const { return m_undo; }
    QAction* redo() const { return m_redo; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked) {
            m_blocked = event->type() == QEvent::WindowBlocked;
            refresh();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void refresh()
    {
        // A tooltip up names the step that was next before this change.
        QToolTip::hideText();
        m_undo->setEnabled(!m_blocked && UndoHistory::stack().canUndo());
        m_redo->setEnabled(!m_blocked && UndoHistory::stack().canRedo());
        m_undo->setToolTip(tipFor(kUndoCaption, UndoHistory::undoText()));
        m_redo->setToolTip(tipFor(kRedoCaption, UndoHistory::redoText()));
    }

    QAction* m_undo;
    QAction* m_redo;
    bool m_blocked = false;
};

QPushButton* buttonFor(QAction* action, const QString& name, QWidget* window)
{
    auto* button = new QPushButton(action->text(), window);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::TabFocus);
    const auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        button->setToolTip(action->toolTip());
    };
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    follow();
    return button;
}

}  // namespace

void AddUndoShortcuts(QWidget* window)
{
    new UndoActionsOfWindow(window);
}

UndoButtons AddUndoButtons(QWidget* window)
{
    auto* actions = new UndoActionsOfWindow(window);
    return {buttonFor(actions->undo(), QStringLiteral("Button_Undo"), window),
            buttonFor(actions->redo(), QStringLiteral("Button_Redo"), window)};
}

QHBoxLayout* HeadingWithUndoButtons(QWidget* window, QWidget* title)
{
    auto* heading = new QHBoxLayout;
    heading->addWidget(title, 1);
    const UndoButtons undo = AddUndoButtons(window);
    heading->addWidget(undo.undo);
    heading->addWidget(undo.redo);
    return heading;
}
