#include "year/MonthCalendar.h"

#include "holidays/Holidays.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QStringList kDayNames{"日", "月", "火", "水", "木", "金", "土"};
const QColor kSunday(200, 30, 30);
const QColor kSaturday(30, 60, 200);
// Light enough for the red and blue numbers, and a grey of its own when
// printed or seen without colour.
const QColor kSpecialGround(255, 222, 140);

int monthIndex(int year, int month)
{
    return year * 12 + month - 1;
}

}  // namespace

class MonthCalendar::DayGrid : public QWidget
{
public:
    explicit DayGrid(MonthCalendar* calendar)
        : QWidget(calendar)
        , m_calendar(calendar)
    {
        setObjectName(QStringLiteral("MonthView1_Days"));
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(7 * 46, 6 * 34 + calendar->headerHeight());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_calendar->paintDays(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_calendar->pressDay(event->position().toPoint(), event->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            m_calendar->dragTo(event->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_calendar->release();
    }
    void keyPressEvent(QKeyEvent* event) override { m_calendar->keyPress(event); }
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip)
            return QWidget::event(event);
        m_calendar->showDayTip(static_cast<QHelpEvent*>(event));
        return true;
    }

private:
    MonthCalendar* m_calendar;
};

MonthCalendar::MonthCalendar(QWidget* parent)
    : QWidget(parent)
    , m_marks(ShownDays)
{
    buildHeader();
    m_grid = new DayGrid(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* header = new QHBoxLayout;
    header->addWidget(m_previous);
    header->addStretch(1);
    header->addWidget(m_yearBox);
    header->addWidget(m_monthBox);
    header->addStretch(1);
    header->addWidget(m_next);
    layout->addLayout(header);
    layout->addWidget(m_grid, 1);
    setFocusProxy(m_grid);
    loadHolidays();
    setSelectedDate(QDate::currentDate());
}

void MonthCalendar::buildHeader()
{
    m_previous = new QToolButton(this);
    m_previous->setObjectName(QStringLiteral("MonthView1_Previous"));
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(QStringLiteral("前の月"));
    m_next = new QToolButton(this);
    m_next->setObjectName(QStringLiteral("MonthView1_Next"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(QStringLiteral("次の月"));
    m_yearBox = new QSpinBox(this);
    m_yearBox->setObjectName(QStringLiteral("MonthView1_Year"));
    m_yearBox->setSuffix(QStringLiteral("年"));
    m_monthBox = new QComboBox(this);
    m_monthBox->setObjectName(QStringLiteral("MonthView1_Month"));
    for (int month = 1; month <= 12; ++month)
        m_monthBox->addItem(QStringLiteral("%1月").arg(month));

    const auto step = [this](int months) {
        const int index = monthIndex(m_year, m_month) + months;
        showMonth(index / 12, index % 12 + 1);
    };
    connect(m_previous, &QToolButton::clicked, this, [step] { step(-1); });
    connect(m_next, &QToolButton::clicked, this, [step] { step(1); });
    connect(m_yearBox, &QSpinBox::valueChanged, this, [this](int year) { showMonth(year, m_month); });
    connect(m_monthBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            showMonth(m_year, index + 1);
    });
}

void MonthCalendar::setDateRange(QDate minimum, QDate maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    syncHeader();
    setSelectedDate(std::clamp(m_value, m_minimum, m_maximum));
}

void MonthCalendar::setSelectedDate(QDate date)
{
    if (!date.isValid())
        return;
    date = std::clamp(date, m_minimum, m_maximum);
    m_anchor = m_end = m_value = date;
    setPage(date.year(), date.month(), false);
    m_grid->update();
}

void MonthCalendar::setSelection(QDate from, QDate to)
{
    m_anchor = from;
    m_end = m_value = to;
    m_grid->update();
}

QDate MonthCalendar::selectionStart() const
{
    return std::min(m_anchor, m_end);
}

QDate MonthCalendar::selectionEnd() const
{
    return std::max(m_anchor, m_end);
}

QDate MonthCalendar::firstShownDate() const
{
    const QDate first(m_year, m_month, 1);
    return first.addDays(-(first.dayOfWeek() % 7));
}

void MonthCalendar::showMonth(int year, int month)
{
    setPage(year, month, true);
}

void MonthCalendar::setPage(int year, int month, bool byNavigation)
{
    const int index = std::clamp(monthIndex(year, month), monthIndex(m_minimum.year(), m_minimum.month()),
                                 monthIndex(m_maximum.year(), m_maximum.month()));
    if (index == monthIndex(m_year, m_month)) {
        syncHeader();
        return;
    }
    m_year = index / 12;
    m_month = index % 12 + 1;
    m_marks.fill(DayMark());
    loadHolidays();
    syncHeader();
    m_grid->update();
    emit pageChanged(byNavigation);
}

void MonthCalendar::syncHeader()
{
    const QSignalBlocker yearBlocker(m_yearBox);
    const QSignalBlocker monthBlocker(m_monthBox);
    m_yearBox->setRange(m_minimum.year(), m_maximum.year());
    m_yearBox->setValue(m_year);
    m_monthBox->setCurrentIndex(m_month - 1);
    const int index = monthIndex(m_year, m_month);
    m_previous->setEnabled(index > monthIndex(m_minimum.year(), m_minimum.month()));
    m_next->setEnabled(index < monthIndex(m_maximum.year(), m_maximum.month()));
}

void MonthCalendar::setMarks(const QVector<DayMark>& marks)
{
    m_marks = marks;
    m_marks.resize(ShownDays);
    m_grid->update();
}

MonthCalendar::DayMark MonthCalendar::markOf(QDate date) const
{
    const qint64 index = firstShownDate().daysTo(date);
    return index >= 0 && index < ShownDays ? m_marks.at(int(index)) : DayMark();
}

bool MonthCalendar::isMarked(QDate date) const
{
    return markOf(date).kind != MarkKind::None;
}

// Drawn on a sample day number: a line through a word would be lost among
// the strokes of its characters.
QString MonthCalendar::legendText()
{
    const QString gap = QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
    return QStringLiteral("<b><span style=\"background-color:%1\">&nbsp;8&nbsp;</span></b> 特殊プログラム%3"
                          "&nbsp;<b><s>8</s></b>&nbsp; 停止%3<span style=\"color:%2\">8</span> 祝日")
        .arg(kSpecialGround.name(), kSunday.name(), gap);
}

void MonthCalendar::loadHolidays()
{
    m_holidays.clear();
    const QDate first = firstShownDate();
    const QDate last = first.addDays(ShownDays - 1);
    for (int year = first.year(); year <= last.year(); ++year)
        for (const Holiday& holiday : NationalHolidays(year))
            if (holiday.date >= first && holiday.date <= last)
                m_holidays.insert(holiday.date, holiday.name);
}

QString MonthCalendar::holidayName(QDate date) const
{
    return m_holidays.value(date);
}

QTextCharFormat MonthCalendar::dateTextFormat(QDate date) const
{
    QTextCharFormat format;
    QColor colour = palette().color(QPalette::Text);
    if (date.month() != m_month)
        colour = palette().color(QPalette::Disabled, QPalette::Text);
    else if (date.dayOfWeek() == Qt::Sunday || m_holidays.contains(date))
        colour = kSunday;
    else if (date.dayOfWeek() == Qt::Saturday)
        colour = kSaturday;
    format.setForeground(colour);
    const MarkKind kind = markOf(date).kind;
    format.setFontWeight(kind != MarkKind::None ? QFont::Bold : QFont::Normal);
    format.setFontStrikeOut(kind == MarkKind::Stop);
    if (kind == MarkKind::Special)
        format.setBackground(kSpecialGround);
    format.setToolTip(dayTip(date));
    return format;
}

QString MonthCalendar::dayTip(QDate date) const
{
    QStringList lines{holidayName(date), markOf(date).text};
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

void MonthCalendar::showDayTip(QHelpEvent* event) const
{
    const QPoint position = event->pos();
    const QString tip = position.y() < headerHeight() ? QString() : dayTip(dateAt(position));
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, m_grid, dayRect(dateAt(position)));
}

QWidget* MonthCalendar::dayGrid() const
{
    return m_grid;
}

bool MonthCalendar::inRange(QDate date) const
{
    return date.isValid() && date >= m_minimum && date <= m_maximum;
}

int MonthCalendar::headerHeight() const
{
    return fontMetrics().height() + 10;
}

QRectF MonthCalendar::cellRect(int index) const
{
    const qreal width = m_grid->width() / 7.0;
    const qreal height = (m_grid->height() - headerHeight()) / 6.0;
    return QRectF(index % 7 * width, headerHeight() + index / 7 * height, width, height);
}

QRect MonthCalendar::dayRect(QDate date) const
{
    const qint64 index = firstShownDate().daysTo(date);
    if (index < 0 || index >= ShownDays)
        return QRect();
    return cellRect(int(index)).toRect();
}

// The day under a point; a point beside the grid counts as the nearest day
// (a drag may leave the grid).
QDate MonthCalendar::dateAt(QPoint position) const
{
    const qreal width = m_grid->width() / 7.0;
    const qreal height = (m_grid->height() - headerHeight()) / 6.0;
    const int column = std::clamp(int(position.x() / width), 0, 6);
    const int row = std::clamp(int((position.y() - headerHeight()) / height), 0, 5);
    const QDate date = firstShownDate().addDays(row * 7 + column);
    return inRange(date) ? date : QDate();
}

void MonthCalendar::paintDays(QPainter& painter) const
{
    const QPalette& colors = palette();
    painter.fillRect(m_grid->rect(), colors.base());
    const qreal width = m_grid->width() / 7.0;
    for (int column = 0; column < 7; ++column) {
        const QRectF cell(column * width, 0, width, headerHeight());
        painter.setPen(column == 0 ? kSunday : column == 6 ? kSaturday : colors.color(QPalette::Text));
        painter.drawText(cell, Qt::AlignCenter, kDayNames.at(column));
    }
    painter.setPen(colors.color(QPalette::Mid));
    painter.drawLine(QPointF(0, headerHeight() - 1), QPointF(m_grid->width(), headerHeight() - 1));

    const QDate first = firstShownDate();
    const QDate today = QDate::currentDate();
    for (int index = 0; index < ShownDays; ++index) {
        const QDate date = first.addDays(index);
        if (!inRange(date))
            continue;
        const QRectF cell = cellRect(index).adjusted(1, 1, -1, -1);
        const bool selected = date >= selectionStart() && date <= selectionEnd();
        const QTextCharFormat format = dateTextFormat(date);
        if (selected)
            painter.fillRect(cell, colors.highlight());
        else if (format.background().style() != Qt::NoBrush)
            painter.fillRect(cell.adjusted(2, 2, -2, -2), format.background());
        painter.setPen(selected ? colors.color(QPalette::HighlightedText) : format.foreground().color());
        QFont dayFont = font();
        dayFont.setBold(format.fontWeight() == QFont::Bold);
        dayFont.setStrikeOut(format.fontStrikeOut());
        painter.setFont(dayFont);
        painter.drawText(cell, Qt::AlignCenter, QString::number(date.day()));
        if (date == today) {
            painter.setPen(QPen(colors.color(QPalette::Highlight), 1.5));
            painter.drawRect(cell.adjusted(1, 1, -1, -1));
        }
    }
    if (m_grid->hasFocus() && inRange(m_value)) {
        const qint64 index = first.daysTo(m_value);
        if (index >= 0 && index < ShownDays) {
            painter.setPen(QPen(colors.color(QPalette::Text), 1, Qt::DotLine));
            painter.drawRect(cellRect(int(index)).adjusted(3, 3, -4, -4));
        }
    }
}

void MonthCalendar::pressDay(QPoint position, Qt::KeyboardModifiers modifiers)
{
    if (position.y() < headerHeight())  // the weekday names
        return;
    const QDate date = dateAt(position);
    if (!date.isValid())
        return;
    m_grid->setFocus(Qt::MouseFocusReason);
    if (!(modifiers & Qt::ShiftModifier) || !inRange(m_anchor))
        m_anchor = date;
    m_end = m_value = date;
    m_dragging = true;
    m_grid->update();
}

void MonthCalendar::dragTo(QPoint position)
{
    const QDate date = dateAt(position);
    if (!m_dragging || !date.isValid() || date == m_end)
        return;
    m_end = m_value = date;
    m_grid->update();
}

void MonthCalendar::release()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    finishRun();
}

// A run ending on a neighbouring month's day turns the page to that month;
// the run stays selected.
void MonthCalendar::finishRun()
{
    setPage(m_end.year(), m_end.month(), false);
    emit runChosen(selectionStart(), selectionEnd());
}

void MonthCalendar::moveTo(QDate date, bool extend)
{
    if (!inRange(date))
        return;
    if (!extend)
        m_anchor = date;
    m_end = m_value = date;
    setPage(date.year(), date.month(), false);
    m_grid->update();
}

void MonthCalendar::keyPress(QKeyEvent* event)
{
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(m_value.addDays(-1), extend);
        break;
    case Qt::Key_Right:
        moveTo(m_value.addDays(1), extend);
        break;
    case Qt::Key_Up:
        moveTo(m_value.addDays(-7), extend);
        break;
    case Qt::Key_Down:
        moveTo(m_value.addDays(7), extend);
        break;
    case Qt::Key_PageUp:
        showMonth(m_year, m_month - 1);
        break;  // month 0 is last December
    case Qt::Key_PageDown:
        showMonth(m_year, m_month + 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        finishRun();
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}
