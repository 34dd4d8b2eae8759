#include "plan/Xlsx.h"

#include "plan/Zip.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace Plan {

namespace {

// No part of a workbook within our row limit comes near this.
constexpr qint64 kMaxMemberBytes = 64 * 1024 * 1024;

const QString kDefaultWorkbook = QStringLiteral("xl/workbook.xml");

[[noreturn]] void refuse(const QString& why)
{
    throw TableError(QStringLiteral("Excel のファイル（.xlsx）として読めません: ") + why);
}

void checkXml(const QXmlStreamReader& xml, const QString& member)
{
    if (xml.hasError())
        refuse(QStringLiteral("%1 が壊れています。").arg(member));
}

// "xl/worksheets/sheet1.xml" for the target "worksheets/sheet1.xml" of a
// relationship of "xl/workbook.xml"; a target from the root starts with "/".
QString resolvedTarget(const QString& source, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = source.split(u'/');
    parts.removeLast();
    for (const QString& part : target.split(u'/')) {
        if (part == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (part != QLatin1String("."))
            parts << part;
    }
    return parts.join(u'/');
}

QString relationshipsOf(const QString& member)
{
    const qsizetype slash = member.lastIndexOf(u'/');
    return member.left(slash + 1) + QStringLiteral("_rels/") + member.mid(slash + 1) + QStringLiteral(".rels");
}

struct Relationship {
    QString type, target;
};

// The relationships of `source` by their id.
QHash<QString, Relationship> relationships(const ZipArchive& zip, const QString& source)
{
    QHash<QString, Relationship> found;
    const QString member = relationshipsOf(source);
    if (!zip.contains(member))
        return found;
    QXmlStreamReader xml(zip.read(member));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const auto attributes = xml.attributes();
            found.insert(attributes.value(QLatin1String("Id")).toString(),
                         {attributes.value(QLatin1String("Type")).toString(),
                          resolvedTarget(source, attributes.value(QLatin1String("Target")).toString())});
        }
    }
    checkXml(xml, member);
    return found;
}

QString targetOfType(const QHash<QString, Relationship>& links, const QString& typeEnd, const QString& fallback)
{
    for (const Relationship& link : links)
        if (link.type.endsWith(typeEnd))
            return link.target;
    return fallback;
}

// The texts of the <t> elements inside the current element, leaving out
// the reading aids (ふりがな) Japanese Excel keeps in <rPh>.
QString textInside(QXmlStreamReader& xml)
{
    QString text;
    int depth = 1;
    int phonetic = 0;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
        }
    }
    return text;
}

QStringList sharedStrings(const ZipArchive& zip, const QString& member)
{
    QStringList strings;
    if (member.isEmpty() || !zip.contains(member))
        return strings;
    QXmlStreamReader xml(zip.read(member));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings << textInside(xml);
    }
    checkXml(xml, member);
    return strings;
}

// For each cell style (the `s` of a cell), whether it shows a date.
QList<bool> dateStyles(const ZipArchive& zip, const QString& member)
{
    QList<bool> dated;
    if (member.isEmpty() || !zip.contains(member))
        return dated;
    QHash<int, QString> codes;
    QXmlStreamReader xml(zip.read(member));
    bool inCellStyles = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (xml.name() == QLatin1String("numFmt"))
                codes.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                             attributes.value(QLatin1String("formatCode")).toString());
            else if (xml.name() == QLatin1String("cellXfs"))
                inCellStyles = true;
            else if (inCellStyles && xml.name() == QLatin1String("xf")) {
                const int id = attributes.value(QLatin1String("numFmtId")).toInt();
                dated << isDateFormat(id, codes.value(id));
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellStyles = false;
        }
    }
    checkXml(xml, member);
    return dated;
}

bool usesDate1904(const ZipArchive& zip, const QString& workbook, QString* firstSheetId)
{
    bool date1904 = false;
    QXmlStreamReader xml(zip.read(workbook));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("workbookPr")) {
            const QStringView value = attributes.value(QLatin1String("date1904"));
            date1904 = value == QLatin1String("1") || value == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet") && firstSheetId->isEmpty()) {
            for (const QXmlStreamAttribute& attribute : attributes)
                if (attribute.name() == QLatin1String("id"))
                    *firstSheetId = attribute.value().toString();
        }
    }
    checkXml(xml, workbook);
    return date1904;
}

// 0-based row and column of a reference such as "AB12"; -1 when it is none.
std::pair<int, int> position(QStringView reference)
{
    int column = 0;
    qsizetype at = 0;
    while (at < reference.size() && reference.at(at) >= u'A' && reference.at(at) <= u'Z' && at < 4)
        column = column * 26 + (reference.at(at++).unicode() - u'A' + 1);
    bool ok = false;
    const int row = reference.mid(at).toInt(&ok);
    if (at == 0 || !ok || row < 1)
        return {-1, -1};
    return {row - 1, column - 1};
}

QString numberText(const QString& value, bool dated, bool date1904)
{
    if (dated) {
        bool ok = false;
        const double serial = value.toDouble(&ok);
        if (ok) {
            const QString date = excelSerialDate(serial, date1904);
            if (!date.isEmpty())
                return date;
        }
    }
    return value;
}

// A merged cell shows its text in every cell it covers (a 日課 merged over
// a week of 休業 names each of those days), within the rows the sheet has.
void fillMerged(Grid& grid, const QList<std::pair<std::pair<int, int>, std::pair<int, int>>>& merged)
{
    qint64 budget = qint64(kMaxRows) * kMaxColumns;
    for (const auto& [from, to] : merged) {
        const auto [top, left] = from;
        if (top < 0 || top >= grid.size() || left < 0 || left >= grid.at(top).size())
            continue;
        const QString text = grid.at(top).at(left);
        const int bottom = std::min(to.first, int(grid.size()) - 1);
        const int right = std::min(to.second, kMaxColumns - 1);
        for (int row = top; row <= bottom; ++row) {
            QStringList& cells = grid[row];
            for (int column = left; column <= right; ++column) {
                if (--budget < 0)
                    throw TableError(QStringLiteral("表が大きすぎます（上限 %1 行）。").arg(grouped(kMaxRows)));
                while (cells.size() <= column)
                    cells.append(QString());
                if (cells.at(column).isEmpty())
                    cells[column] = text;
            }
        }
    }
}

}  // namespace

QString excelSerialDate(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < (date1904 ? 0 : 1) || serial > 3e6)
        return QString();
    const qint64 day = qint64(std::floor(serial));
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(day);
    else if (day == 60)
        return QStringLiteral("1900/2/29");
    else
        date = QDate(1899, 12, day < 60 ? 31 : 30).addDays(day);
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

bool isDateFormat(int id, const QString& code)
{
    static const QSet<int> builtIn = {14, 15, 16, 17, 22, 27, 28, 29, 30, 31, 34,
                                      35, 36, 50, 51, 52, 53, 54, 55, 56, 57, 58};
    if (code.isEmpty())
        return builtIn.contains(id);
    // Quoted texts, [colours and locales] and escaped characters show no part of
    // the date; [h], [mm] and [ss] are elapsed time.
    static const QRegularExpression hidden(QStringLiteral("\"[^\"]*\"|\\\\.|\\[(?![hms]+\\])[^\\]]*\\]"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QString bare = QString(code).remove(hidden).toLower();
    if (bare.contains(u'y') || bare.contains(u'd'))
        return true;
    // A month alone; "mm" next to hours or seconds is minutes.
    return bare.contains(u'm') && !bare.contains(u'h') && !bare.contains(u's');
}

Grid gridFromXlsx(const QByteArray& bytes)
{
    const ZipArchive zip(bytes, kMaxMemberBytes);
    const QString workbook =
        targetOfType(relationships(zip, QString()), QStringLiteral("/officeDocument"), kDefaultWorkbook);
    if (!zip.contains(workbook))
        refuse(QStringLiteral("ブックがありません（.xlsx ではない ZIP ファイルです）。"));
    QString sheetId;
    const bool date1904 = usesDate1904(zip, workbook, &sheetId);
    const QHash<QString, Relationship> links = relationships(zip, workbook);
    const QString sheet = links.value(sheetId).target;
    if (sheetId.isEmpty() || !zip.contains(sheet))
        refuse(QStringLiteral("シートがありません。"));
    const QStringList strings = sharedStrings(zip, targetOfType(links, QStringLiteral("/sharedStrings"), QString()));
    const QList<bool> dated = dateStyles(zip, targetOfType(links, QStringLiteral("/styles"), QString()));

    GridBuilder grid;
    QList<std::pair<std::pair<int, int>, std::pair<int, int>>> merged;
    QXmlStreamReader xml(zip.read(sheet));
    int row = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            const QStringView number = xml.attributes().value(QLatin1String("r"));
            const int next = number.isEmpty() ? row + 1 : number.toInt() - 1;
            row = next > row ? next : row + 1;
            grid.moveTo(row, 0);
            continue;
        }
        if (xml.name() == QLatin1String("mergeCell")) {
            const QStringList corners = xml.attributes().value(QLatin1String("ref")).toString().split(u':');
            if (corners.size() == 2)
                merged.append({position(corners.first()), position(corners.last())});
            continue;
        }
        if (xml.name() != QLatin1String("c"))
            continue;
        const auto attributes = xml.attributes();
        const auto [cellRow, column] = position(attributes.value(QLatin1String("r")));
        if (cellRow == row && column >= 0)
            grid.moveTo(row, column);
        const QString type = attributes.value(QLatin1String("t")).toString();
        const int style = attributes.value(QLatin1String("s")).toInt();
        QString value;
        QString text;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("v"))
                value = xml.readElementText();
            else if (xml.name() == QLatin1String("is"))
                text = textInside(xml);
            else
                xml.skipCurrentElement();
        }
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.toInt(&ok);
            text = ok && index >= 0 && index < strings.size() ? strings.at(index) : QString();
        } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
            text = value;
        } else if (type == QLatin1String("d")) {
            const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
            text =
                date.isValid() ? QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day()) : value;
        } else if (type != QLatin1String("inlineStr")) {
            text = numberText(value, style >= 0 && style < dated.size() && dated.at(style), date1904);
        }
        grid.addCell(text);
    }
    checkXml(xml, sheet);
    Grid cells = grid.take();
    fillMerged(cells, merged);
    return cells;
}

}  // namespace Plan
