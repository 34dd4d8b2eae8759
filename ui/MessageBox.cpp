#include "ui/MessageBox.h"

#include "ui/WindowUtil.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QTextStream>

namespace MessageBox {
namespace {

bool g_scripted = false;
QQueue<Button> g_answers;
QList<Shown> g_shown;

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Button firstButton(Buttons buttons)
{
    for (Button candidate : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (buttons.testFlag(candidate))
            return candidate;
    return QMessageBox::Ok;
}

const char* iconName(Icon icon)
{
    switch (icon) {
    case Icon::Exclamation:
        return "exclamation";
    case Icon::Critical:
        return "critical";
    case Icon::Information:
        return "information";
    case Icon::Question:
        return "question";
    case Icon::None:
        break;
    }
    return "none";
}

// A scripted editor run (WZQXPROG_MESSAGE_LOG set) appends every box to
// that file, so that whole-program tests can read what the user would see.
void appendToLog(const Shown& box)
{
    const QString path = qEnvironmentVariable("WZQXPROG_MESSAGE_LOG");
    if (path.isEmpty())
        return;
    QFile log(path);
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&log);
    out << box.title << '\t' << iconName(box.icon) << '\t'
        << QString(box.text).replace(QStringLiteral("\r\n"), QStringLiteral("\\n")) << '\n';
}

// A box sizes itself to its text; a short text under a long title would
// leave the title cut in the title bar.
void widenForTitle(QMessageBox& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(titleBarWidth(dialog.windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// Qt leaves no window active when a modal box closes (the window manager
// may or may not step in), so the keyboard would reach nothing: the window
// that was active, or else the box's parent, is activated again and gets
// back the control that had its focus.
class FocusReturn
{
public:
    explicit FocusReturn(QWidget* parent)
        : m_window(QApplication::activeWindow() ? QApplication::activeWindow()
                       : parent                 ? parent->window()
                                                : nullptr)
    {
    }
    ~FocusReturn()
    {
        if (m_window && m_window->isVisible() && QApplication::activeWindow() != m_window)
            m_window->activateWindow();
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> m_window;
};

Button runDialog(QWidget* parent, const Shown& box)
{
    const FocusReturn focusReturn(parent);
    QMessageBox dialog(qtIcon(box.icon), box.title, box.text, box.buttons, parent);
    widenForTitle(dialog);
    dialog.setDefaultButton(box.defaultButton);
    if (box.buttons.testFlag(QMessageBox::Cancel))
        dialog.setEscapeButton(QMessageBox::Cancel);
    else if (box.buttons.testFlag(QMessageBox::No))
        dialog.setEscapeButton(QMessageBox::No);
    return static_cast<Button>(dialog.exec());
}

}  // namespace

Button show(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons,
            Button defaultButton)
{
    Shown box{text, title, icon, buttons,
              defaultButton == QMessageBox::NoButton ? firstButton(buttons) : defaultButton};
    appendToLog(box);
    if (!g_scripted)
        return runDialog(parent, box);
    g_shown.append(box);
    return g_answers.isEmpty() ? box.defaultButton : g_answers.dequeue();
}

void showError(QWidget* parent, const QString& description)
{
    show(parent, description, QStringLiteral("エラー"), Icon::None, QMessageBox::Ok);
}

void setScripted(bool scripted)
{
    g_scripted = scripted;
    g_answers.clear();
}

void queueAnswer(Button answer)
{
    g_answers.enqueue(answer);
}

QList<Shown> shown()
{
    return g_shown;
}

Shown lastShown()
{
    return g_shown.isEmpty() ? Shown{} : g_shown.last();
}

void clearShown()
{
    g_shown.clear();
}

}  // namespace MessageBox
