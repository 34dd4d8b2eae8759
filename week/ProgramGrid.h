#pragma once
#include "week/ProgramList.h"

#include <QTableView>

class QStandardItemModel;

// The program list of the week and special windows (objectName DataGrid1).
// A row is chosen by clicking it or its row header (the record selector,
// which marks the chosen row with "▶").
class ProgramGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ProgramGrid(QWidget* parent = nullptr);

    // Replaces the contents; every column visible, captioned by its field;
    // the first row, if any, selected.
    void setList(const ProgramList& list);
    void applyColumns(const GridColumns& layout);

    int rowCount() const;
    // The selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
    // The text of the selected row in the column captioned `caption`, or "".
    QString selectedText(const QString& caption) const;
    // The raw value of the selected row's field, or an invalid value.
    QVariant selectedValue(const QString& field) const;
    int columnOf(const QString& field) const;
    // The ID of the week row the selected row stands for, or 0.
    int selectedId() const;

private:
    void markCurrentRow();

    QStandardItemModel* m_model = nullptr;
    ProgramList m_list;
};
