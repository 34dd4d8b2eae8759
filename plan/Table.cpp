#include "plan/Table.h"

#include "settings/SpecialNames.h"

#include <QLocale>

#include <algorithm>

namespace Plan {

TableError::TableError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

QString TableError::message() const
{
    return QString::fromUtf8(what());
}

QString cellName(int row, int column)
{
    QString letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters + QString::number(row + 1);
}

QString grouped(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

QString foldName(const QString& text)
{
    return SpecialNames::foldName(text);
}

void GridBuilder::addCell(const QString& text)
{
    if (!text.isEmpty()) {
        if (m_row >= kMaxRows)
            tooLarge(true);
        if (m_column >= kMaxColumns)
            tooLarge(false);
        while (m_grid.size() <= m_row)
            m_grid.append(QStringList());
        QStringList& cells = m_grid[m_row];
        while (cells.size() < m_column)
            cells.append(QString());
        cells.append(text);
    }
    ++m_column;
}

void GridBuilder::endRow()
{
    ++m_row;
    m_column = 0;
}

void GridBuilder::moveTo(int row, int column)
{
    if (row < m_row || (row == m_row && column < m_column))
        return;
    if (row != m_row)
        m_column = 0;
    m_row = row;
    m_column = column;
}

Grid GridBuilder::take()
{
    return std::move(m_grid);
}

void GridBuilder::tooLarge(bool rows) const
{
    throw TableError(rows ? QStringLiteral("表が大きすぎます（上限 %1 行）。").arg(grouped(kMaxRows))
                          : QStringLiteral("表の列が多すぎます（上限 %1 列）。").arg(grouped(kMaxColumns)));
}

}  // namespace Plan
