#include "week/UpDown.h"

#include "core/NumericText.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QLineEdit* buddy, int lo, int hi, QWidget* parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_lo(lo)
    , m_hi(hi)
    , m_value(lo)
{
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up, down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setFixedSize(18, 12);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::stepBy(int steps)
{
    // A box that holds no number steps from the spinner's last value.
    if (const auto typed = NumericText::toInteger(m_buddy->text()))
        m_value = *typed;
    m_value = std::clamp(m_value + steps, m_lo, m_hi);
    m_buddy->setText(QString::number(m_value));
    emit stepped();
}
