#include "ui/Widgets.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class WholeSelection : public QObject
{
public:
    WholeSelection(QWidget* box, QLineEdit* line)
        : QObject(box)
        , m_box(box)
        , m_line(line)
    {
        box->installEventFilter(this);
        if (line != box)
            line->installEventFilter(this);  // a spin box's clicks reach its line edit
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (watched == m_box)
                focusIn(static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::FocusOut:
            if (watched == m_box) {
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                m_away = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
                m_clicked = false;
            }
            break;
        case QEvent::MouseButtonRelease:
            // The click that gave the focus has placed the cursor by now.
            if (watched == m_line && m_clicked) {
                m_clicked = false;
                if (!m_line->hasSelectedText())
                    selectAll();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void focusIn(Qt::FocusReason reason)
    {
        const bool back = m_away;
        m_away = false;
        if (reason == Qt::MouseFocusReason)
            m_clicked = true;
        else if (!(back && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)))
            selectAll();
    }

    void selectAll()
    {
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(m_box))
            spin->selectAll();  // the number without its suffix
        else
            m_line->selectAll();
    }

    QWidget* m_box;
    QLineEdit* m_line;
    bool m_away = false;     // the focus went to another window or a menu
    bool m_clicked = false;  // the focus came by a mouse press not yet released
};

}  // namespace

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip, QSize minimum)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setMinimumSize(minimum);
    return button;
}

QLineEdit* makeNumberBox(QWidget* parent, const QString& name, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(width);
    selectWholeOnFocus(box);
    return box;
}

void selectWholeOnFocus(QWidget* box)
{
    auto* line = qobject_cast<QLineEdit*>(box);
    if (!line)
        line = box->findChild<QLineEdit*>();
    if (line)
        new WholeSelection(box, line);
}

void closeOnEscape(QWidget* window)
{
    auto* escape = new QAction(window);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(escape, &QAction::triggered, window, [window] { window->close(); });
    window->addAction(escape);
}

QHBoxLayout* makeButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}

void fillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered)
{
    box->clear();
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (offered(circuit))
            box->addItem(QString::number(circuit), circuit);
}

bool refillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered)
{
    const QSignalBlocker blocker(box);
    const QVariant chosen = box->currentData();
    fillCircuitChoice(box, offered);
    box->setCurrentIndex(box->findData(chosen));
    return box->currentIndex() >= 0;
}
