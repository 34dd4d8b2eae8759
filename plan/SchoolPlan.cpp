#include "plan/SchoolPlan.h"

#include "plan/CellDates.h"

#include <QHash>

#include <climits>

namespace Plan {

namespace {

// Rows looked at per column to find the date column.
constexpr int kSampleRows = 50;

QString cellAt(const Grid& grid, int row, int column)
{
    const QStringList& cells = grid.at(row);
    return column < cells.size() ? cells.at(column) : QString();
}

bool isEmptyRow(const QStringList& cells)
{
    for (const QString& cell : cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

// Headers are compared without any blanks: "日　課" is 日課.
QString headerKey(const QString& text)
{
    QString key = foldName(text);
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

// Whether most filled cells of `column` from its first date on read as
// dates (bad dates too: they are refused later, not taken for another
// column); titles and headers above do not count.
bool readsAsDates(const Grid& grid, int column)
{
    int filled = 0, dates = 0;
    for (int row = 0; row < grid.size() && filled < kSampleRows; ++row) {
        const QString cell = cellAt(grid, row, column);
        if (cell.trimmed().isEmpty())
            continue;
        const bool date = readCellDate(cell, 2000).kind != CellDate::NotADate;
        if (dates == 0 && !date)
            continue;
        ++filled;
        dates += date ? 1 : 0;
    }
    return dates > 0 && dates * 2 >= filled;
}

QString dateText(const QDate& date)
{
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

}  // namespace

ColumnChoice ColumnChoice::fromArgument(const QString& argument)
{
    const QString folded = foldName(argument);
    bool number = !folded.isEmpty();
    for (const QChar c : folded)
        number = number && c >= u'0' && c <= u'9';
    ColumnChoice choice;
    if (number)
        choice.number = folded.size() <= 9 ? folded.toInt() : INT_MAX;
    else
        choice.header = argument;
    return choice;
}

Layout findLayout(const Grid& grid, const ColumnChoice& choice)
{
    Layout layout;
    for (const QStringList& cells : grid)
        layout.columnCount = std::max(layout.columnCount, int(cells.size()));
    bool empty = true;
    for (const QStringList& cells : grid)
        empty = empty && isEmptyRow(cells);
    if (empty)
        throw TableError(QStringLiteral("表が空です。"));

    for (int column = 0; column < layout.columnCount && layout.dateColumn < 0; ++column)
        if (readsAsDates(grid, column))
            layout.dateColumn = column;
    if (layout.dateColumn < 0)
        throw TableError(QStringLiteral("日付の列が見つかりません。"));

    // The header is the nearest row of two or more cells above the first
    // date; a single cell there is a title.
    int firstDate = 0;
    while (readCellDate(cellAt(grid, firstDate, layout.dateColumn), 2000).kind == CellDate::NotADate)
        ++firstDate;
    for (int row = firstDate - 1; row >= 0 && layout.headerRow < 0; --row) {
        int filled = 0;
        for (const QString& cell : grid.at(row))
            filled += cell.trimmed().isEmpty() ? 0 : 1;
        if (filled >= 2)
            layout.headerRow = row;
    }
    for (int column = 0; column < layout.columnCount; ++column)
        layout.headers << (layout.headerRow < 0 ? QString() : foldName(cellAt(grid, layout.headerRow, column)));

    if (choice.number) {
        if (*choice.number < 1 || *choice.number > layout.columnCount)
            throw TableError(
                QStringLiteral("%1 列目はありません（表は %2 列です）。").arg(*choice.number).arg(layout.columnCount));
        layout.dutyColumn = *choice.number - 1;
    } else if (!choice.header.isEmpty()) {
        for (int column = 0; column < layout.columnCount && layout.dutyColumn < 0; ++column)
            if (headerKey(layout.headers.at(column)) == headerKey(choice.header))
                layout.dutyColumn = column;
        if (layout.dutyColumn < 0)
            throw TableError(QStringLiteral("「%1」という見出しの列がありません。").arg(choice.header));
    } else {
        for (int column = 0; column < layout.columnCount && layout.dutyColumn < 0; ++column)
            if (headerKey(layout.headers.at(column)) == QStringLiteral("日課"))
                layout.dutyColumn = column;
    }
    return layout;
}

SchoolPlan readPlan(const Grid& grid, const PlanOptions& options)
{
    SchoolPlan plan;
    plan.layout = findLayout(grid, options.column);
    const Layout& layout = plan.layout;
    if (layout.dutyColumn < 0)
        throw TableError(QStringLiteral("日課の列が見つかりません。日課の列を選んでください。"));
    if (layout.dutyColumn == layout.dateColumn)
        throw TableError(QStringLiteral("日付の列は日課の列にできません。"));

    plan.schoolYear = options.schoolYear;
    for (int row = 0; row <= layout.headerRow && plan.schoolYear == 0; ++row)
        for (const QString& cell : grid.at(row))
            if (plan.schoolYear == 0)
                plan.schoolYear = schoolYearIn(cell);

    struct Seen {
        int index;  // in plan.days, or -1 while the day has no 日課
        int row;    // the row that gave its 日課, or its first
    };
    QHash<QDate, Seen> seen;
    QHash<QString, int> nameIndex;
    for (int row = layout.headerRow + 1; row < grid.size(); ++row) {
        const QString dateCell = cellAt(grid, row, layout.dateColumn);
        const CellDate date = readCellDate(dateCell, plan.schoolYear);
        if (date.kind == CellDate::Refused)
            throw TableError(QStringLiteral("%1 行目のセル %2「%3」は%4")
                                 .arg(row + 1)
                                 .arg(cellName(row, layout.dateColumn), dateCell.trimmed(), date.problem));
        if (date.kind == CellDate::NotADate) {
            if (!isEmptyRow(grid.at(row)))
                ++plan.skippedRows;
            continue;
        }
        const QString name = foldName(cellAt(grid, row, layout.dutyColumn));
        auto found = seen.find(date.date);
        if (found == seen.end()) {
            seen.insert(date.date, {name.isEmpty() ? -1 : int(plan.days.size()), row});
            if (!name.isEmpty())
                plan.days.append({date.date, name, row + 1});
            continue;
        }
        if (name.isEmpty())
            continue;
        if (found->index < 0) {
            *found = {int(plan.days.size()), row};
            plan.days.append({date.date, name, row + 1});
            continue;
        }
        const PlanDay& first = plan.days.at(found->index);
        if (first.name != name)
            throw TableError(QStringLiteral("%1 行目と %2 行目が同じ日（%3）で、日課が違います（「%4」と「%5」）。")
                                 .arg(first.row)
                                 .arg(row + 1)
                                 .arg(dateText(date.date), first.name, name));
    }

    for (const PlanDay& day : plan.days) {
        auto index = nameIndex.find(day.name);
        if (index == nameIndex.end()) {
            index = nameIndex.insert(day.name, int(plan.names.size()));
            plan.names.append({day.name, 0});
        }
        ++plan.names[*index].days;
    }
    for (const Seen& day : seen)
        plan.unnamedDays += day.index < 0 ? 1 : 0;
    return plan;
}

}  // namespace Plan
