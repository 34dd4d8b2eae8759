#include "plan/TextTable.h"

#include "core/platform/Platform.h"
#include "plan/Xlsx.h"

#include <QStringDecoder>

namespace Plan {

namespace {

bool endsLine(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Control characters no table text holds (tab, line breaks, form feed and
// the old end-of-file mark are fine).
bool isBinary(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' && byte != 0x1A)
            return true;
    }
    return false;
}

QString decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString text = utf16(bytes);
        if (!utf16.hasError() && bytes.size() % 2 == 0 && !text.contains(QChar(u'\0')))
            return text;
        throw TableError(QStringLiteral("文字コードが読めません（UTF-16 として壊れています）。"));
    }
    if (isBinary(bytes))
        throw TableError(QStringLiteral("表として読めないファイルです（テキストでも .xlsx でもありません）。"));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        throw TableError(QStringLiteral("文字コードが読めません（UTF-8 として壊れています）。"));
    if (const std::optional<QString> shiftJis = Platform::decodeCp932(bytes))
        return *shiftJis;
    throw TableError(QStringLiteral("文字コードが読めません（UTF-8 でも Shift_JIS でもありません）。"));
}

QChar separatorFor(const QString& text, const QString& name)
{
    const QString lower = name.toLower();
    if (lower.endsWith(QLatin1String(".csv")))
        return u',';
    if (lower.endsWith(QLatin1String(".tsv")))
        return u'\t';
    for (const QChar c : text) {
        if (c == u'\t')
            return u'\t';
        if (endsLine(c))
            break;
    }
    return u',';
}

}  // namespace

Grid gridFromText(const QString& text, QChar separator)
{
    GridBuilder grid;
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size) {
        QString cell;
        if (text.at(at) == u'"') {
            // A quote that never closes was no quoting: the cell is read plainly.
            qsizetype end = at + 1;
            QString inside;
            for (;;) {
                const qsizetype quote = text.indexOf(u'"', end);
                if (quote < 0)
                    break;
                inside += QStringView(text).mid(end, quote - end);
                if (quote + 1 < size && text.at(quote + 1) == u'"') {
                    inside += u'"';
                    end = quote + 2;
                    continue;
                }
                cell = inside;
                at = quote + 1;
                break;
            }
        }
        const qsizetype start = at;
        while (at < size && text.at(at) != separator && !endsLine(text.at(at)))
            ++at;
        cell += QStringView(text).mid(start, at - start);
        grid.addCell(cell);
        if (at < size && text.at(at) == separator) {
            ++at;
            continue;
        }
        if (at < size)
            at += (text.at(at) == u'\r' && at + 1 < size && text.at(at + 1) == u'\n') ? 2 : 1;
        grid.endRow();
    }
    return grid.take();
}

Grid gridFromPaste(const QString& text)
{
    return gridFromText(text, u'\t');
}

Grid gridFromBytes(const QByteArray& bytes, const QString& name)
{
    if (bytes.size() > kMaxFileBytes)
        throw TableError(QStringLiteral("ファイルが大きすぎます（上限 %1 バイト）。").arg(grouped(kMaxFileBytes)));
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06"))
        return gridFromXlsx(bytes);
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        throw TableError(QStringLiteral("古い Excel の形式（.xls）は読めません。.xlsx か CSV で保存してください。"));
    const QString text = decodeText(bytes);
    return gridFromText(text, separatorFor(text, name));
}

Grid gridFromFile(const QString& path)
{
    Platform::ReadFile file;
    try {
        file = Platform::readRegularFile(path, kMaxFileBytes);
    } catch (const FileError& error) {
        throw TableError(QString::fromUtf8(error.what()));
    }
    if (file.size > kMaxFileBytes)
        throw TableError(
            QStringLiteral("%1: ファイルが大きすぎます（上限 %2 バイト）。").arg(path, grouped(kMaxFileBytes)));
    try {
        return gridFromBytes(file.bytes, path);
    } catch (const TableError& error) {
        throw TableError(path + QStringLiteral(": ") + error.message());
    }
}

}  // namespace Plan
