#include "week/ProgramGrid.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <algorithm>

namespace {

// The record selector's mark of the current row.
const QString kCurrentRowMark = QStringLiteral("▶");

// Times are " 7:05" above "12:00": right-aligned, with their headings,
// their colons line up.
bool isTimeField(const QString& field)
{
    return field == QStringLiteral("開始時刻") || field == QStringLiteral("終了時刻");
}

}  // namespace

ProgramGrid::ProgramGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("DataGrid1"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(true);
    verticalHeader()->setDefaultSectionSize(std::max(22, fontMetrics().height() + 4));
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setFixedWidth(std::max(18, fontMetrics().horizontalAdvance(kCurrentRowMark) + 10));
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ProgramGrid::markCurrentRow);
}

void ProgramGrid::setList(const ProgramList& list)
{
    m_list = list;
    m_model->clear();
    m_model->setColumnCount(list.fields.size());
    m_model->setHorizontalHeaderLabels(list.fields);
    for (const QVariantList& values : list.rows) {
        QList<QStandardItem*> items;
        for (int column = 0; column < values.size(); ++column) {
            auto* item = new QStandardItem(values[column].toString());
            item->setEditable(false);
            if (isTimeField(list.fields.value(column)))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        m_model->appendRow(items);
    }
    for (int column = 0; column < list.fields.size(); ++column)
        if (isTimeField(list.fields[column]))
            m_model->setHeaderData(column, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter),
                                   Qt::TextAlignmentRole);
    for (int row = 0; row < list.rows.size(); ++row)
        m_model->setVerticalHeaderItem(row, new QStandardItem(QString()));
    for (int column = 0; column < list.fields.size(); ++column)
        setColumnHidden(column, false);
    // A list starts on its first row, ready for 編集 and 削除.
    if (!list.rows.isEmpty())
        selectRow(0);
}

void ProgramGrid::applyColumns(const GridColumns& layout)
{
    for (const ColumnChange& change : layout.changes) {
        const int column = columnOf(change.field);
        if (column < 0)
            continue;
        setColumnHidden(column, !change.visible);
        if (!change.caption.isEmpty())
            m_model->setHeaderData(column, Qt::Horizontal, change.caption);
        // Widths are given in twips; a caption never ends up cut by them.
        if (change.widthTwips > 0)
            setColumnWidth(
                column,
                std::max(change.widthTwips * logicalDpiX() / 1440, horizontalHeader()->sectionSizeHint(column)));
    }
    if (layout.grid == GridColumns::Grid::Hide)
        hide();
    else if (layout.grid == GridColumns::Grid::Show)
        show();
}

void ProgramGrid::markCurrentRow()
{
    const int current = selectedRow();
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (QStandardItem* selector = m_model->verticalHeaderItem(row))
            selector->setText(row == current ? kCurrentRowMark : QString());
}

int ProgramGrid::rowCount() const
{
    return m_model->rowCount();
}

int ProgramGrid::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ProgramGrid::selectRow(int row)
{
    QTableView::selectRow(row);
}

int ProgramGrid::columnOf(const QString& field) const
{
    return m_list.indexOf(field);
}

QString ProgramGrid::selectedText(const QString& caption) const
{
    const int row = selectedRow();
    if (row < 0)
        return QString();
    for (int column = 0; column < m_model->columnCount(); ++column)
        if (m_model->headerData(column, Qt::Horizontal).toString() == caption)
            return m_model->item(row, column)->text();
    return QString();
}

QVariant ProgramGrid::selectedValue(const QString& field) const
{
    return m_list.value(selectedRow(), field);
}

int ProgramGrid::selectedId() const
{
    return m_list.ids.value(selectedRow(), 0);
}
