#include "ui/DateTyping.h"

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

}  // namespace

void AllowWholeDateTyping(QDateEdit* box)
{
    new WholeDateTyping(box);
}
