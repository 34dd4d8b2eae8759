#include "history/UndoActions.h"

#include "history/UndoHistory.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
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
        // A history dropped without being asked to is never a silent loss.
        static const bool told = [] {
            QObject::connect(&HistoryDropped::instance(), &HistoryDropped::dropped, qApp, [](const QString& reason) {
                MessageBox::show(QApplication::activeWindow(), reason, QStringLiteral("元に戻す"),
                                 MessageBox::Icon::Exclamation);
            });
            return true;
        }();
        Q_UNUSED(told);
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
    explicit UndoActionsOfWindow(QWidget* window)
        : QObject(window)
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
        connect(m_undo, &QAction::triggered, this, guarded(window, [] { UndoHistory::undo(); }));
        connect(m_redo, &QAction::triggered, this, guarded(window, [] { UndoHistory::redo(); }));
        QUndoStack& stack = UndoHistory::stack();
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
        const bool held = otherModalOpen(m_window);
        m_undo->setEnabled(!held && UndoHistory::stack().canUndo());
        m_redo->setEnabled(!held && UndoHistory::stack().canRedo());
        m_undo->setToolTip(tipFor(kUndoCaption, UndoHistory::undoText()));
        m_redo->setToolTip(tipFor(kRedoCaption, UndoHistory::redoText()));
    }

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
