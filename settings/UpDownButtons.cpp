#include "settings/UpDownButtons.h"

#include "core/NumericText.h"
#include "ui/Guard.h"

#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(18);
    return button;
}

}  // namespace

UpDownButtons::UpDownButtons(QLineEdit* buddy, int lo, int hi, QWidget* parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_lo(lo)
    , m_hi(hi)
{
    m_up = makeArrow(this, Qt::UpArrow);
    m_down = makeArrow(this, Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setFixedHeight(std::max(buddy->sizeHint().height() + 4, 28));
    connect(m_up, &QToolButton::clicked, this, guarded(this, [this] { stepBy(1); }));
    connect(m_down, &QToolButton::clicked, this, guarded(this, [this] { stepBy(-1); }));
}

void UpDownButtons::stepBy(int steps)
{
    const std::optional<int> current = NumericText::toInteger(m_buddy->text());
    const int start = current ? std::clamp(*current, m_lo, m_hi) : m_lo - steps;
    const int next = std::clamp(start + steps, m_lo, m_hi);
    m_buddy->setText(QString::number(next));
}

void UpDownButtons::setFocusedLook(bool focused)
{
    if (focused == m_focusedLook)
        return;
    m_focusedLook = focused;
    update();
}

void UpDownButtons::paintEvent(QPaintEvent*)
{
    if (!m_focusedLook || !isEnabled())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
