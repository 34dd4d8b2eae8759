#pragma once
#include "print/Reports.h"

#include <QByteArray>
#include <QDateTime>

namespace Reports {

// The listing as a PDF document on these pages, its text as drawn (see
// TextAsDrawn); empty when it could not be drawn.
QByteArray PdfDocument(const Report& report, const QPageLayout& page,
                       const QDateTime& printedAt = QDateTime::currentDateTime());

// Qt names each glyph of an embedded font by the lowest code point that
// the font maps to it (the font's ToUnicode map). The Japanese font shares
// its glyphs between ideographs and Kangxi radicals (日 and ⽇) and between
// ～ and the wave dash 〜, so the text layer would read ⽇曜⽇ and 〜, and a
// search for 日曜日 would find nothing. The listings never draw radicals
// or wave dashes: those names become the characters drawn. The maps
// are plain text and every name keeps its four hex digits, so no length or
// offset in the document changes.
QByteArray TextAsDrawn(QByteArray pdf);

}  // namespace Reports
