#pragma once
#include "plan/Table.h"

#include <QByteArray>

namespace Plan {

// Cells pasted from a spreadsheet: rows of tab-separated cells, a cell with
// a line break or tab in quotes as Excel and LibreOffice copy it.
Grid gridFromPaste(const QString& text);

// Rows of cells split on `separator`, quoted as RFC 4180 says (a quote
// doubled inside quotes; line breaks inside quotes belong to the cell);
// rows end at CR LF, LF or CR.
Grid gridFromText(const QString& text, QChar separator);

// A table file's bytes, or what standard input gave: an .xlsx by its
// content; otherwise text in UTF-8 (a BOM dropped), UTF-16 with a BOM, or
// Shift_JIS (CP932), valid UTF-8 preferred; tab-separated when `name` ends
// in .tsv or, for other names, when a tab comes before the first line
// break, else comma-separated. Anything else is refused (TableError).
Grid gridFromBytes(const QByteArray& bytes, const QString& name = QString());

// The regular file at `path`, read as gridFromBytes reads it; larger than
// kMaxFileBytes is refused before it is read.
Grid gridFromFile(const QString& path);

}  // namespace Plan
