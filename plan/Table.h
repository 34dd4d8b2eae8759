#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

// A school's 行事予定 table as its cells, before anything is read from them.
namespace Plan {

// Rows of cell texts, as the sheet shows them; rows and cells past the
// last non-empty one are dropped, so rows may differ in length.
using Grid = QList<QStringList>;

// Past these a table is refused, before it is read further.
constexpr int kMaxRows = 10000;
constexpr int kMaxColumns = 256;
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

// A table refused: what() is the Japanese message for the user, in UTF-8.
class TableError : public std::runtime_error
{
public:
    explicit TableError(const QString& message);
    QString message() const;
};

// "A1" for row 0, column 0; "AB12" for row 11, column 27.
QString cellName(int row, int column);

// "10,000": the sizes in messages.
QString grouped(qint64 number);

// What names and headers are compared by: full-width letters, digits and
// blanks made half-width, half-width kana full-width, ends trimmed.
QString foldName(const QString& text);

// The grid grows row by row here, so that the size limits hold while
// reading: empty cells and rows are only kept once something follows them.
class GridBuilder
{
public:
    void addCell(const QString& text);
    // Closes the current row (an empty one too).
    void endRow();
    // Puts the next cell at `row`, `column` (0-based, not before the last).
    void moveTo(int row, int column);
    Grid take();

private:
    Grid m_grid;
    int m_row = 0;
    int m_column = 0;
    void tooLarge(bool rows) const;
};

}  // namespace Plan
