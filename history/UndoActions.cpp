#include "history/UndoActions.h"

#include "history/UndoHistory.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QToolTip>
#include <QUndoStack>
#include <QWidget>
#include <algorithm>

namespace {

const QString kUndoCaption = QStringLiteral("元に戻す");
const QString kRedoCaption = QStringLiteral("やり直し");

QString tipFor(const QString& caption, const QString& step)
{
    return step.isEmpty() ? caption : caption + QStringLiteral(": ") + step;
}

// A modal dialog other than `window` is open. Then no window's history
// moves: not the windows the dialog blocks, nor a window opened over it
// (the special window over 日付設定), whose undo would take back steps made
// before the dialog under it opened, nor a non-modal window opened from it.
bool otherModalOpen(const QWidget* window)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [window](const QWidget* other) {
        return other != window && other->isModal() && other->isVisible();
    });
}

class UndoActionsOfWindow;

// A history dropped without being asked to is never a silent loss: one box,
// however many windows show the history's actions.
void tellWhenDropped(UndoHistory& history)
{
    const QString teller = QStringLiteral("wz_droppedTeller");
    if (history.findChild<QObject*>(teller, Qt::FindDirectChildrenOnly))
        return;
    auto* context = new QObject(&history);
    context->setObjectName(teller);
    QObject::connect(&history, &UndoHistory::dropped, context, [](const QString& reason) {
        MessageBox::show(QApplication::activeWindow(), reason, QStringLiteral("元に戻す"),
                         MessageBox::Icon::Exclamation);
    });
}

// Every window's actions, refreshed whenever a modal window appears or goes.
QList<UndoActionsOfWindow*>& windowsWithActions()
{
    static QList<UndoActionsOfWindow*> windows;
    return windows;
}

class ModalWatch : public QObject
{
public:
    static void start()
    {
        static const auto* watch = new ModalWatch(qApp);
        Q_UNUSED(watch);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ModalWatch(QObject* parent)
        : QObject(parent)
    {
        parent->installEventFilter(this);
    }
};

// Keeps one window's two actions in step with the history and with modal
// dialogs being open (see otherModalOpen).
class UndoActionsOfWindow : public QObject
{
public:
    UndoActionsOfWindow(QWidget* window, UndoHistory& history)
        : QObject(window)
        , m_history(&history)
        , m_window(window)
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
        connect(m_undo, &QAction::triggered, this, guarded(window, [this] { m_history && m_history->undo(); }));
        connect(m_redo, &QAction::triggered, this, guarded(window, [this] { m_history && m_history->redo(); }));
        tellWhenDropped(history);
        QUndoStack& stack = history.stack();
        connect(&stack, &QUndoStack::indexChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::canUndoChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::canRedoChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::undoTextChanged, this, &UndoActionsOfWindow::refresh);
        connect(&stack, &QUndoStack::redoTextChanged, this, &UndoActionsOfWindow::refresh);
        ModalWatch::start();
        windowsWithActions() << this;
        refresh();
    }
    ~UndoActionsOfWindow() override { windowsWithActions().removeOne(this); }

    QAction* undo() const { return m_undo; }
    QAction* redo() const { return m_redo; }

    void refresh()
    {
        // A tooltip up names the step that was next before this change.
        QToolTip::hideText();
        // A window the event loop has yet to delete may outlive its history.
        const bool held = !m_history || otherModalOpen(m_window);
        m_undo->setEnabled(!held && m_history->stack().canUndo());
        m_redo->setEnabled(!held && m_history->stack().canRedo());
        m_undo->setToolTip(tipFor(kUndoCaption, m_history ? m_history->undoText() : QString()));
        m_redo->setToolTip(tipFor(kRedoCaption, m_history ? m_history->redoText() : QString()));
    }

    QPointer<UndoHistory> m_history;
    QWidget* m_window;
    QAction* m_undo;
    QAction* m_redo;
};

bool ModalWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (widget && widget->isWindow() && widget->isModal())
            for (UndoActionsOfWindow* actions : std::as_const(windowsWithActions()))
                actions->refresh();
    }
    return QObject::eventFilter(watched, event);
}

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

void AddUndoShortcuts(QWidget* window, UndoHistory& history)
{
    new UndoActionsOfWindow(window, history);
}

UndoButtons AddUndoButtons(QWidget* window, UndoHistory& history)
{
    auto* actions = new UndoActionsOfWindow(window, history);
    return {buttonFor(actions->undo(), QStringLiteral("Button_Undo"), window),
            buttonFor(actions->redo(), QStringLiteral("Button_Redo"), window)};
}

QHBoxLayout* HeadingWithUndoButtons(QWidget* window, UndoHistory& history, QWidget* title)
{
    auto* heading = new QHBoxLayout;
    heading->addWidget(title, 1);
    const UndoButtons undo = AddUndoButtons(window, history);
    heading->addWidget(undo.undo);
    heading->addWidget(undo.redo);
    return heading;
}
