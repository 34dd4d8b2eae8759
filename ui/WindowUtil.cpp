#include "ui/WindowUtil.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {
const char* const kUnloaded = "wzUnloaded";
}

QWidget* FindForm(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && !window->property(kUnloaded).toBool())
            return window;
    return nullptr;
}

void MarkFormUnloaded(QWidget* window)
{
    window->setProperty(kUnloaded, true);
}

bool IsFormLoaded(const QString& name)
{
    return FindForm(name) != nullptr;
}

namespace {

// A window not yet shown has no frame; its title bar is about this high.
constexpr int kTitleBarAllowance = 32;

// The main window when it has a place of its own to centre on.
QWidget* placedMainWindow(const QWidget* besides)
{
    QWidget* main = FindForm(QStringLiteral("Form_Main"));
    return main && main != besides && main->windowHandle() ? main : nullptr;
}

}  // namespace

void placeWindow(QWidget* window)
{
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QWidget* main = placedMainWindow(window);
    QScreen* screen = main ? main->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QSize size = window->frameGeometry().size();
    if (!window->windowHandle())
        size.rheight() += kTitleBarAllowance;
    const QPoint centre = main ? main->frameGeometry().center() : area.center();
    const int x =
        std::clamp(centre.x() - size.width() / 2, area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    const int y =
        std::clamp(centre.y() - size.height() / 2, area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    window->move(x, y);
}

void keepInsideScreen(QWidget* window)
{
    QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const int x = std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y = std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.x() || y != frame.y())
        window->move(x, y);
}

int titleBarWidth(const QString& title)
{
    // Window managers draw titles in a bold font, between the window icon
    // and the minimise, maximise and close buttons.
    constexpr int decoration = 170;
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + decoration;
}

void styleHeading(QLabel* heading, qreal scale)
{
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    heading->setFont(font);
}
