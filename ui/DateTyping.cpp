#include "ui/DateTyping.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class WholeDateTyping : public QObject
{
public:
    explicit WholeDateTyping(QDateEdit* box)
        : QObject(box)
        , m_box(box)
    {
        box->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text[0].isDigit()) {
            if (startsNewDate())
                m_box->setSelectedSection(m_box->sectionAt(0));
            m_sectionBeforeDigit = m_box->currentSection();
            return false;
        }
        const bool movedOn =
            m_sectionBeforeDigit != QDateTimeEdit::NoSection && m_box->currentSection() != m_sectionBeforeDigit;
        m_sectionBeforeDigit = QDateTimeEdit::NoSection;
        return text == QLatin1String("/") && movedOn;
    }

private:
    // Everything selected, or nothing selected in a whole date (the cursor
    // where a click left it): every part is full then, and the box would
    // refuse the digit.
    bool startsNewDate() const
    {
        const auto* line = m_box->findChild<QLineEdit*>();
        if (!line)
            return false;
        if (line->hasSelectedText())
            return line->selectedText() == line->text();
        return line->text().size() == m_box->displayFormat().size();
    }

    QDateEdit* m_box;
    QDateTimeEdit::Section m_sectionBeforeDigit = QDateTimeEdit::NoSection;
};

// The calendar that drops down from a date box reads typed digits on its
// own and, given a whole date, makes an impossible one of it, which the box
// then turns into its first date. A digit typed there closes the calendar
// and goes to the box, so the date is typed as in the box itself.
class TypingIntoPopup : public QObject
{
public:
    TypingIntoPopup(QDateEdit* box, QCalendarWidget* calendar)
        : QObject(box)
        , m_box(box)
    {
        calendar->setDateEditEnabled(false);
        calendar->installEventFilter(this);
        for (QWidget* inside : calendar->findChildren<QAbstractItemView*>())
            inside->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isDigit())
            return false;
        QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), text);
        if (QWidget* popup = m_box->calendarWidget()->window(); popup != m_box->window())
            popup->hide();
        m_box->setFocus(Qt::PopupFocusReason);
        m_box->selectAll();
        QCoreApplication::sendEvent(m_box, &typed);
        return true;
    }

private:
    QDateEdit* m_box;
};

}  // namespace

void AllowWholeDateTyping(QDateEdit* box)
{
    new WholeDateTyping(box);
    if (box->calendarPopup())
        new TypingIntoPopup(box, box->calendarWidget());
}
