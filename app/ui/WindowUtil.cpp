#include "app/ui/WindowUtil.h"

#include "store/StoreRoutines.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

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

void setCountLabel(const QString& formName, int remaining)
{
    QWidget* form = FindForm(formName);
    if (!form)
        return;
    if (auto* label = form->findChild<QLabel*>(QStringLiteral("Label_ProgramCount")))
        label->setText(QString::number(remaining));
}

}  // namespace

void UpdateProgramCount(const QString& formName)
{
    if (formName != QLatin1String("Form_Week") && formName != QLatin1String("Form_Special"))
        return;
    setCountLabel(formName, RemainingWeekCapacity());
}

void UpdateYearProgramCount()
{
    setCountLabel(QStringLiteral("Form_Year"), RemainingYearCapacity());
}

void centerOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->adjustSize();
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void styleHeading(QLabel* heading, qreal scale)
{
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    heading->setFont(font);
}
