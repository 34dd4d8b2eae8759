#include "store/StoreImage.h"

#include "store/BulkInsert.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleTables.h"
#include "store/Schema.h"

namespace {

const std::array<ScheduleTable, 4>& kImagedTables = ScheduleTables();

QStringList columnsOf(const char* table)
{
    for (const Schema::TableColumns& candidate : Schema::expectedTables())
        if (qstrcmp(candidate.table, table) == 0)
            return candidate.columns;
    throw StoreError(QStringLiteral("No table %1").arg(QLatin1String(table)));
}

QList<int> readCells(ScheduleDocument& document, const char* table)
{
    const QStringList columns = columnsOf(table);
    QList<int> cells;
    ForEachIntRow(document,
                  QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(','), QLatin1String(table)), {},
                  [&](const IntRow& row) {
                      for (int column = 0; column < columns.size(); ++column)
                          cells.append(row.at(column));
                  });
    return cells;
}

void writeCells(ScheduleDocument& document, const char* table, const QList<int>& cells)
{
    const QStringList columns = columnsOf(table);
    document.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(',');
    BulkInsert insert(
        document,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(QLatin1String(table), columns.join(','), marks));
    for (qsizetype row = 0; row < cells.size(); row += columns.size())
        insert.run(cells.constData() + row, int(columns.size()));
}

}  // namespace

StoreImage StoreImage::capture(ScheduleDocument& document)
{
    return StoreImage().refreshed(document, EveryStoreChange);
}

StoreImage StoreImage::refreshed(ScheduleDocument& document, StoreChanges::Changes kinds) const
{
    StoreImage image = *this;
    for (size_t table = 0; table < kImagedTables.size(); ++table) {
        if (!(kinds & kImagedTables[table].change))
            continue;
        QList<int> cells = readCells(document, kImagedTables[table].name);
        if (cells != m_tables[table])
            image.m_tables[table] = std::move(cells);
    }
    return image;
}

StoreImage StoreImage::with(StoreChanges::Changes kinds, const StoreImage& source) const
{
    StoreImage image = *this;
    for (size_t table = 0; table < kImagedTables.size(); ++table)
        if (kinds & kImagedTables[table].change)
            image.m_tables[table] = source.m_tables[table];
    return image;
}

StoreChanges::Changes StoreImage::differences(const StoreImage& other) const
{
    StoreChanges::Changes kinds;
    for (size_t table = 0; table < kImagedTables.size(); ++table)
        if (m_tables[table] != other.m_tables[table])
            kinds |= kImagedTables[table].change;
    return kinds;
}

void StoreImage::restore(ScheduleDocument& document, StoreChanges::Changes kinds) const
{
    Transaction transaction(document);
    for (size_t table = 0; table < kImagedTables.size(); ++table)
        if (kinds & kImagedTables[table].change)
            writeCells(document, kImagedTables[table].name, m_tables[table]);
    transaction.commit();
}

qsizetype StoreImage::bytes() const
{
    qsizetype total = 0;
    for (const QList<int>& cells : m_tables)
        total += cells.size() * qsizetype(sizeof(int));
    return total;
}
