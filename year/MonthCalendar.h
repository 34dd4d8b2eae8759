#pragma once
#include <QDate>
#include <QHash>
#include <QTextCharFormat>
#include <QVector>
#include <QWidget>

class QComboBox;
class QHelpEvent;
class QSpinBox;
class QToolButton;

// A month calendar in Japanese, Sunday first, six weeks at a time (the
// tails of the neighbouring months included). A run of consecutive days is
// chosen by a click, a drag from one day to another, or a shift-click that
// extends from the last clicked day; the run is announced when the mouse is
// released (or by Return). Marked days are drawn bold, 停止 days struck
// through and special days on a tinted ground, with their entries named in
// the tooltip; national holidays are red, as on a wall calendar, with their
// name as tooltip.
class MonthCalendar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ShownDays = 42;

    enum class MarkKind { None, Stop, Special };
    struct DayMark {
        MarkKind kind = MarkKind::None;
        QString text;  // the entries in words, for the tooltip
    };
    // The marks' look in a line of rich text, for a legend beside the calendar.
    static QString legendText();

    explicit MonthCalendar(QWidget* parent = nullptr);

    void setDateRange(QDate minimum, QDate maximum);
    QDate minimumDate() const { return m_minimum; }
    QDate maximumDate() const { return m_maximum; }

    // The value: the day last clicked or set. Setting it shows its month and
    // selects that day alone.
    void setSelectedDate(QDate date);
    QDate selectedDate() const { return m_value; }
    // Selects from..to (and makes `to` the value) without turning the page.
    void setSelection(QDate from, QDate to);
    QDate selectionStart() const;
    QDate selectionEnd() const;

    int yearShown() const { return m_year; }
    int monthShown() const { return m_month; }
    QDate firstShownDate() const;
    // Turns the page as the arrows and the month and year lists do.
    void showMonth(int year, int month);

    // Marks for the days shown, index 0 = firstShownDate(); cleared
    // whenever the page turns.
    void setMarks(const QVector<DayMark>& marks);
    bool isMarked(QDate date) const;
    DayMark markOf(QDate date) const;

    // The name of the national holiday on a shown day, else empty.
    QString holidayName(QDate date) const;
    // How a shown day's number is drawn when it is not selected: colour
    // (red on Sundays and holidays), bold for a mark, struck through for
    // 停止, a background for a special number; tooltip the holiday's name
    // and the entries, a line each.
    QTextCharFormat dateTextFormat(QDate date) const;

    // Where a day is drawn, in dayGrid() coordinates (tests click there).
    QRect dayRect(QDate date) const;
    QWidget* dayGrid() const;

signals:
    // After the page turned; byNavigation when the arrows, lists or page
    // keys turned it, not a click or drag onto a neighbouring month's day.
    void pageChanged(bool byNavigation);
    void runChosen(QDate from, QDate to);

private:
    class DayGrid;
    friend class DayGrid;

    void buildHeader();
    void setPage(int year, int month, bool byNavigation);
    void syncHeader();
    bool inRange(QDate date) const;
    QDate dateAt(QPoint position) const;
    int headerHeight() const;
    QRectF cellRect(int index) const;

    void loadHolidays();
    void paintDays(QPainter& painter) const;
    QString dayTip(QDate date) const;
    void showDayTip(QHelpEvent* event) const;
    void pressDay(QPoint position, Qt::KeyboardModifiers modifiers);
    void dragTo(QPoint position);
    void release();
    void keyPress(QKeyEvent* event);
    void moveTo(QDate date, bool extend);
    void finishRun();

    QDate m_minimum{2000, 1, 1};
    QDate m_maximum{2099, 12, 31};
    int m_year = 2000;
    int m_month = 1;
    QDate m_anchor;
    QDate m_end;
    QDate m_value;
    bool m_dragging = false;
    QVector<DayMark> m_marks;
    QHash<QDate, QString> m_holidays;  // of the days shown

    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QSpinBox* m_yearBox = nullptr;
    QComboBox* m_monthBox = nullptr;
    DayGrid* m_grid = nullptr;
};
