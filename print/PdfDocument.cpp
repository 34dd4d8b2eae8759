#include "print/PdfDocument.h"

#include <QBuffer>
#include <QPdfWriter>

namespace Reports {

namespace {

constexpr int kHexDigits = 4;
constexpr qsizetype kCodeWidth = kHexDigits + 2;  // "<XXXX>"

char16_t drawnCharacter(char16_t named)
{
    if (named == 0x301C)                       // wave dash
        return 0xFF5E;                         // full-width tilde
    if (named >= 0x2E80 && named <= 0x2FDF) {  // CJK radicals
        const QString unified = QString(QChar(named)).normalized(QString::NormalizationForm_KC);
        if (unified.size() == 1)
            return unified[0].unicode();
    }
    return named;
}

// The value of "<XXXX>" at pos, or -1.
int codeAt(const QByteArray& pdf, qsizetype pos)
{
    if (pos < 0 || pos + kCodeWidth > pdf.size() || pdf[pos] != '<' || pdf[pos + kCodeWidth - 1] != '>')
        return -1;
    bool ok = false;
    const int value = pdf.mid(pos + 1, kHexDigits).toInt(&ok, 16);
    return ok ? value : -1;
}

void renameCodeAt(QByteArray& pdf, qsizetype pos)
{
    const int named = codeAt(pdf, pos);
    if (named < 0)
        return;
    const QByteArray drawn = QByteArray::number(drawnCharacter(char16_t(named)), 16).toUpper();
    pdf.replace(pos + 1, kHexDigits, drawn.rightJustified(kHexDigits, '0'));
}

// One range "<first> <last> <name>" or "<first> <last> [<name> …]" ending
// at end. A range of several glyphs with one name counts up from it (Qt
// writes those for runs of ten or more consecutive characters): left as is.
void renameRange(QByteArray& pdf, qsizetype start, qsizetype end)
{
    const qsizetype names = start + 2 * (kCodeWidth + 1);
    const int first = codeAt(pdf, start);
    const int last = codeAt(pdf, start + kCodeWidth + 1);
    if (first < 0 || last < 0 || names >= end)
        return;
    if (pdf[names] == '[') {
        for (qsizetype pos = pdf.indexOf('<', names); pos >= 0 && pos < end; pos = pdf.indexOf('<', pos + 1))
            renameCodeAt(pdf, pos);
    } else if (first == last) {
        renameCodeAt(pdf, names);
    }
}

}  // namespace

QByteArray TextAsDrawn(QByteArray pdf)
{
    const QByteArray begin = "beginbfrange\n";
    const QByteArray end = "endbfrange";
    for (qsizetype from = pdf.indexOf(begin); from >= 0; from = pdf.indexOf(begin, from)) {
        from += begin.size();
        const qsizetype blockEnd = pdf.indexOf(end, from);
        if (blockEnd < 0)
            break;
        while (from < blockEnd) {
            qsizetype lineEnd = pdf.indexOf('\n', from);
            if (lineEnd < 0 || lineEnd > blockEnd)
                lineEnd = blockEnd;
            renameRange(pdf, from, lineEnd);
            from = lineEnd + 1;
        }
    }
    return pdf;
}

QByteArray PdfDocument(const Report& report, const QPageLayout& page, const QDateTime& printedAt)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("wzqxprog"));
        writer.setResolution(600);
        writer.setPageLayout(page);
        if (Render(writer, report, printedAt) == 0)
            return {};
    }
    return TextAsDrawn(pdf.data());
}

}  // namespace Reports
