#include "plan/CellDates.h"
#include "plan/SchoolPlan.h"
#include "plan/TextTable.h"
#include "plan/Xlsx.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Plan;

namespace {

// "2028-04-10通常 2028-04-11短縮 | 通常=1 短縮=1 | skipped 1 unnamed 0", or the refusal.
template<typename Read>
QString outcome(Read read)
{
    try {
        const SchoolPlan plan = read();
        QStringList days, names;
        for (const PlanDay& day : plan.days)
            days << day.date.toString(Qt::ISODate) + day.name;
        for (const NameCount& name : plan.names)
            names << name.name + QLatin1Char('=') + QString::number(name.days);
        return QStringLiteral("%1 | %2 | skipped %3 unnamed %4")
            .arg(days.join(u' '), names.join(u' '))
            .arg(plan.skippedRows)
            .arg(plan.unnamedDays);
    } catch (const TableError& error) {
        return error.message();
    }
}

// Rows joined by "|", cells by ",".
QString flat(const Grid& grid)
{
    QStringList rows;
    for (const QStringList& cells : grid)
        rows << cells.join(u',');
    return rows.join(u'|');
}

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

struct Member {
    QString name;
    QByteArray data;
    bool deflate = false;
    quint32 statedSize = 0;  // 0: the real size
    quint16 flags = 0;
};

void put(QByteArray& out, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

// A zip archive, members stored or deflated (qCompress's stream without its
// length, header and checksum is raw deflate).
QByteArray zipOf(const QList<Member>& members)
{
    QByteArray out, directory;
    for (const Member& member : members) {
        const QByteArray name = member.name.toUtf8();
        const QByteArray packed = member.deflate ? qCompress(member.data).mid(6).chopped(4) : member.data;
        const quint32 size = member.statedSize ? member.statedSize : quint32(member.data.size());
        const quint32 offset = quint32(out.size());
        QByteArray common;
        put(common, member.flags, 2), put(common, member.deflate ? 8 : 0, 2), put(common, 0, 2), put(common, 0x21, 2);
        put(common, crc32Of(member.data), 4), put(common, quint32(packed.size()), 4), put(common, size, 4);
        put(common, quint32(name.size()), 2), put(common, 0, 2);
        put(out, 0x04034b50, 4), put(out, 20, 2);
        out += common + name + packed;
        put(directory, 0x02014b50, 4), put(directory, 20, 2), put(directory, 20, 2);
        directory += common;
        put(directory, 0, 2), put(directory, 0, 2), put(directory, 0, 2), put(directory, 0, 4), put(directory, offset, 4);
        directory += name;
    }
    const quint32 directoryOffset = quint32(out.size());
    out += directory;
    put(out, 0x06054b50, 4), put(out, 0, 4), put(out, quint32(members.size()), 2), put(out, quint32(members.size()), 2);
    put(out, quint32(directory.size()), 4), put(out, directoryOffset, 4), put(out, 0, 2);
    return out;
}

// A workbook of one sheet with `rows`; styles 0 plain, 1 date (14), 2 own date format, 3 time (20), 4 own "[h]:mm".
QList<Member> workbookOf(const QString& rows, const QString& workbookPr = QString())
{
    const QString ns = QStringLiteral("xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"");
    const QString rel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
    return {
        {QStringLiteral("xl/workbook.xml"),
         QStringLiteral("<workbook %1 xmlns:r=\"%2\">%3<sheets><sheet name=\"1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>")
             .arg(ns, rel, workbookPr).toUtf8()},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         QStringLiteral("<Relationships><Relationship Id=\"rId1\" Type=\"%1worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                        "<Relationship Id=\"rId2\" Type=\"%1sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>"
                        "<Relationship Id=\"rId3\" Type=\"%1styles\" Target=\"styles.xml\"/></Relationships>")
             .arg(rel).toUtf8()},
        {QStringLiteral("xl/sharedStrings.xml"),
         QStringLiteral("<sst %1><si><t>日課</t></si><si><t>通常</t></si></sst>").arg(ns).toUtf8()},
        {QStringLiteral("xl/styles.xml"),
         QStringLiteral("<styleSheet %1><numFmts><numFmt numFmtId=\"164\" formatCode=\"m&quot;月&quot;d&quot;日&quot;\"/>"
                        "<numFmt numFmtId=\"165\" formatCode=\"[h]:mm\"/></numFmts><cellXfs><xf numFmtId=\"0\"/>"
                        "<xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"20\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>")
             .arg(ns).toUtf8()},
        {QStringLiteral("xl/worksheets/sheet1.xml"),
         QStringLiteral("<worksheet %1><sheetData>%2</sheetData></worksheet>").arg(ns, rows).toUtf8(), true},
    };
}

}  // namespace

class TestPlan : public QObject
{
    Q_OBJECT
private slots:
    void dateForms_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<int>("schoolYear"); QTest::addColumn<QString>("expected");
        const QString none = QStringLiteral("no date");
        const QString missing = QStringLiteral("存在しない日付です。");
        const QString range = QStringLiteral("2000～2099年の範囲にない日付です。");
        QTest::newRow("slashes") << "2028/4/19" << 0 << "2028-04-19";
        QTest::newRow("ISO") << "2028-04-19" << 0 << "2028-04-19";
        QTest::newRow("points") << "2028.4.19" << 0 << "2028-04-19";
        QTest::newRow("kanji") << "2028年4月19日" << 0 << "2028-04-19";
        QTest::newRow("full-width") << "２０２８／４／１９" << 0 << "2028-04-19";
        QTest::newRow("time after it") << "2028/04/19 0:00:00" << 0 << "2028-04-19";
        QTest::newRow("weekday") << "2028/4/19(水)" << 0 << "2028-04-19";
        QTest::newRow("令和") << "令和10年4月19日" << 0 << "2028-04-19";
        QTest::newRow("R.") << "R10.4.19" << 0 << "2028-04-19";
        QTest::newRow("r/") << "r10/4/19" << 0 << "2028-04-19";
        QTest::newRow("令和元年") << "令和元年5月1日" << 0 << "2019-05-01";
        QTest::newRow("平成's last day") << "平成31年4月30日" << 0 << "2019-04-30";
        QTest::newRow("April in the 年度") << "4/19" << 2028 << "2028-04-19";
        QTest::newRow("January in the next year") << "1月8日" << 2028 << "2029-01-08";
        QTest::newRow("March with weekday") << "3月31日（土曜日）" << 2028 << "2029-03-31";
        QTest::newRow("leap day") << "2028/2/29" << 0 << "2028-02-29";
        QTest::newRow("no such leap day") << "2029/2/29" << 0 << missing;
        QTest::newRow("no month 13") << "13/1" << 2028 << missing;
        QTest::newRow("before 令和") << "令和元年4月30日" << 0 << "存在しない日付です（令和は 2019年5月1日から）。";
        QTest::newRow("after 平成") << "平成31年5月1日" << 0 << "存在しない日付です（平成は 2019年4月30日まで）。";
        QTest::newRow("1999") << "1999/12/31" << 0 << range;
        QTest::newRow("2100 by 年度") << "1/1" << 2099 << range;
        QTest::newRow("no 年度") << "4/19" << 0 << "月日だけの日付です。年度を指定してください。";
        QTest::newRow("wrong weekday") << "2028/4/19（木）" << 0 << "曜日が合わない日付です（2028/4/19 は水曜日）。";
        for (const char* text : {"通常", "4", "2028/4", "4.19", "", "R10年度", "12:30"})
            QTest::addRow("'%s'", text) << QString::fromUtf8(text) << 2028 << none;
    }

    void dateForms()
    {
        QFETCH(QString, text); QFETCH(int, schoolYear); QFETCH(QString, expected);
        const CellDate date = readCellDate(text, schoolYear);
        const QString got = date.kind == CellDate::Date      ? date.date.toString(Qt::ISODate)
                            : date.kind == CellDate::Refused ? date.problem
                                                             : QStringLiteral("no date");
        QCOMPARE(got, expected);
    }

    void tables_data()
    {
        QTest::addColumn<QByteArray>("bytes"); QTest::addColumn<QString>("name");  // "paste": pasted text
        QTest::addColumn<QString>("column"); QTest::addColumn<int>("schoolYear"); QTest::addColumn<QString>("expected");
        const QString noColumn;
        QTest::newRow("TSV paste under a title")
            << QByteArray("令和10年度　年間行事予定\n\n日付\t曜日\t行事\t日課\n2028/4/10\t月\t始業式\t通常\n"
                          "2028/4/11\t火\t\t短縮\n\t\t※予備日\t\n")
            << "paste" << noColumn << 0 << "2028-04-10通常 2028-04-11短縮 | 通常=1 短縮=1 | skipped 1 unnamed 0";
        QTest::newRow("CSV quotes, commas and line breaks")
            << QByteArray("日付,行事,日課\r\n2028-04-10,\"入学式,\"\"準備\"\"\r\n午後\",通常\r\n2028-04-11,,\"短縮\"\r\n")
            << "plan.csv" << noColumn << 0 << "2028-04-10通常 2028-04-11短縮 | 通常=1 短縮=1 | skipped 0 unnamed 0";
        QTest::newRow("CP932")
            << QByteArray("\x93\xfa\x95\x74,\x93\xfa\x89\xdb\r\n2028\x94\x4e\x34\x8c\x8e\x31\x30\x93\xfa,\x92\xca\x8f\xed\r\n"
                          "\x97\xdf\x98\x61\x31\x30\x94\x4e\x34\x8c\x8e\x31\x31\x93\xfa,\xc3\xbd\xc4\r\n")
            << "plan.csv" << noColumn << 0 << "2028-04-10通常 2028-04-11テスト | 通常=1 テスト=1 | skipped 0 unnamed 0";
        QTest::newRow("UTF-8 BOM, tabs by content, 年度 given")
            << QByteArray("\xEF\xBB\xBF日付\t日課\n4/10\t通常\n1/8\t通常\n") << "plan.txt" << noColumn << 2028
            << "2028-04-10通常 2029-01-08通常 | 通常=2 | skipped 0 unnamed 0";
        const QByteArray unheaded("日付\t予定\t区分\n2028/4/10\t始業式\t通常\n2028/4/11\t\tﾃｽﾄ\n");
        QTest::newRow("column by number") << unheaded << "paste" << "３" << 0
                                          << "2028-04-10通常 2028-04-11テスト | 通常=1 テスト=1 | skipped 0 unnamed 0";
        QTest::newRow("column by header") << unheaded << "paste" << "区分" << 0
                                          << "2028-04-10通常 2028-04-11テスト | 通常=1 テスト=1 | skipped 0 unnamed 0";
        QTest::newRow("no 日課 column") << unheaded << "paste" << noColumn << 0
                                        << "日課の列が見つかりません。日課の列を選んでください。";
        QTest::newRow("no such column") << unheaded << "paste" << "5" << 0 << "5 列目はありません（表は 3 列です）。";
        QTest::newRow("no column 0") << unheaded << "paste" << "0" << 0 << "0 列目はありません（表は 3 列です）。";
        QTest::newRow("no such header") << unheaded << "paste" << "日課" << 0 << "「日課」という見出しの列がありません。";
        QTest::newRow("one day twice, one name")
            << QByteArray("日付\t日課\n2028/4/10\t通常\n2028/4/10\t通常 \n") << "paste" << noColumn << 0
            << "2028-04-10通常 | 通常=1 | skipped 0 unnamed 0";
        QTest::newRow("one day twice, two names")
            << QByteArray("日付,日課\r\n2028/4/10,通常\r\n2028/4/11,通常\r\n令和10年4月10日,短縮\r\n") << "plan.csv" << noColumn << 0
            << "2 行目と 4 行目が同じ日（2028/4/10）で、日課が違います（「通常」と「短縮」）。";
        QTest::newRow("empty 日課 cells")
            << QByteArray("日付\t日課\n2028/4/10\t\n2028/4/11\t\n2028/4/11\t短縮\n2028/4/12\t通常\n") << "paste" << noColumn << 0
            << "2028-04-11短縮 2028-04-12通常 | 短縮=1 通常=1 | skipped 0 unnamed 1";
        QTest::newRow("no such day")
            << QByteArray("日付\t日課\n2028/4/10\t通常\n2029/2/29\t通常\n") << "paste" << noColumn << 0
            << "3 行目のセル A3「2029/2/29」は存在しない日付です。";
        QTest::newRow("before 2000")
            << QByteArray("行事\t日付\t日課\n\t1999/4/1\t通常\n") << "paste" << noColumn << 0
            << "2 行目のセル B2「1999/4/1」は2000～2099年の範囲にない日付です。";
        QTest::newRow("one day under a title and a header")
            << QByteArray("2028年度 行事予定\n日付\t日課\n4/10\t通常\n") << "paste" << noColumn << 0
            << "2028-04-10通常 | 通常=1 | skipped 0 unnamed 0";
        QTest::newRow("month and day, no 年度")
            << QByteArray("日付\t日課\n4/10\t通常\n") << "paste" << noColumn << 0
            << "2 行目のセル A2「4/10」は月日だけの日付です。年度を指定してください。";
        QTest::newRow("empty") << QByteArray("\t\n \n") << "paste" << noColumn << 0 << "表が空です。";
        QTest::newRow("no dates") << QByteArray("a,b\nc,d\n") << "plan.csv" << noColumn << 0 << "日付の列が見つかりません。";
        QTest::newRow("binary") << QByteArray("日付,日課\n\0\x01", 17) << "plan.csv" << noColumn << 0
                                << "表として読めないファイルです（テキストでも .xlsx でもありません）。";
        QTest::newRow("neither UTF-8 nor CP932") << QByteArray("\x81\x20,\x93\xfa\n") << "plan.csv" << noColumn << 0
                                                 << "文字コードが読めません（UTF-8 でも Shift_JIS でもありません）。";
        QTest::newRow("old Excel") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00\x00", 10) << "plan.xls"
                                   << noColumn << 0
                                   << "古い Excel の形式（.xls）は読めません。.xlsx か CSV で保存してください。";
    }

    void tables()
    {
        QFETCH(QByteArray, bytes); QFETCH(QString, name); QFETCH(QString, column); QFETCH(int, schoolYear);
        QFETCH(QString, expected);
        PlanOptions options;
        options.schoolYear = schoolYear;
        if (!column.isEmpty())
            options.column = ColumnChoice::fromArgument(column);
        QCOMPARE(outcome([&] {
                     const Grid grid = name == QLatin1String("paste") ? gridFromPaste(QString::fromUtf8(bytes))
                                                                       : gridFromBytes(bytes, name);
                     return readPlan(grid, options);
                 }),
                 expected);
    }

    // Made with python3's zipfile (deflated): the first sheet is the second
    // file, a title names the 年度, a date cell with a built-in and one with
    // an own format, a text date, ふりがな, rich text, a time column.
    void savedWorkbook()
    {
        const QString path = QStringLiteral(WZ_PLAN_DATA "/school.xlsx");
        QCOMPARE(outcome([&] { return readPlan(gridFromFile(path)); }),
                 QStringLiteral("2028-04-10通常 2028-04-11短縮 2028-04-12テスト 2028-04-13休業 | "
                                "通常=1 短縮=1 テスト=1 休業=1 | skipped 1 unnamed 0"));
        const Grid grid = gridFromFile(path);
        QCOMPARE(grid.at(3).last(), QStringLiteral("0.625"));
        QCOMPARE(findLayout(grid).headerRow, 2);
    }

    void workbooks_data()
    {
        QTest::addColumn<QByteArray>("bytes"); QTest::addColumn<QString>("expected");
        QTest::newRow("dates in the 1900 system, leap-year bug")
            << zipOf(workbookOf("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>59</v></c><c r=\"B1\" s=\"1\"><v>60</v></c>"
                                "<c r=\"C1\" s=\"2\"><v>61.5</v></c><c r=\"D1\" s=\"1\"><v>46862</v></c></row>"))
            << "1900/2/28,1900/2/29,1900/3/1,2028/4/19";
        QTest::newRow("1904 system")
            << zipOf(workbookOf("<row><c s=\"1\"><v>0</v></c><c s=\"1\"><v>45400</v></c></row>",
                                "<workbookPr date1904=\"1\"/>"))
            << "1904/1/1,2028/4/19";
        QTest::newRow("times, numbers and texts stay")
            << zipOf(workbookOf("<row><c s=\"3\"><v>0.5</v></c><c s=\"4\"><v>1.25</v></c><c><v>46862</v></c>"
                                "<c t=\"s\"><v>1</v></c><c t=\"str\"><f>A1</f><v>計算</v></c>"
                                "<c t=\"inlineStr\"><is><t>4月19日</t></is></c></row>"))
            << "0.5,1.25,46862,通常,計算,4月19日";
        QTest::newRow("cells where their references put them")
            << zipOf(workbookOf("<row r=\"2\"><c r=\"C2\" t=\"s\"><v>0</v></c></row><row r=\"4\"><c r=\"B4\"><v>7</v></c></row>"))
            << "|,,日課||,7";
        QTest::newRow("merged cells fill what they cover")
            << zipOf(workbookOf("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>1</v></c></row><row r=\"3\"><c r=\"A3\"><v>2</v></c></row>"
                                "</sheetData><mergeCells><mergeCell ref=\"B1:C3\"/><mergeCell ref=\"A3:A9\"/>"
                                "<mergeCell ref=\"D1:E1\"/></mergeCells><sheetData>"))
            << ",通常,通常|,通常,通常|2,通常,通常";
        QTest::newRow("past the row limit")
            << zipOf(workbookOf("<row r=\"10001\"><c r=\"A10001\"><v>1</v></c></row>")) << "表が大きすぎます（上限 10,000 行）。";
        QList<Member> lying = workbookOf(QString());
        lying.last().data = QByteArray(20 * 1024 * 1024, ' ');
        lying.last().statedSize = 1000;
        QTest::newRow("zip bomb: inflates past its size") << zipOf(lying) << "Excel のファイル（.xlsx）として読めません: ファイルが壊れています。";
        lying.last().statedSize = 200 * 1024 * 1024;
        QTest::newRow("zip bomb: too large a member")
            << zipOf(lying) << "Excel のファイル（.xlsx）として読めません: xl/worksheets/sheet1.xml が大きすぎます（上限 67,108,864 バイト）。";
        const QByteArray whole = zipOf(workbookOf("<row><c><v>1</v></c></row>"));
        QTest::newRow("truncated") << whole.chopped(30) << "Excel のファイル（.xlsx）として読めません: ファイルが壊れています。";
        QList<Member> encrypted = workbookOf(QString());
        encrypted.first().flags = 1;
        QTest::newRow("encrypted") << zipOf(encrypted) << "Excel のファイル（.xlsx）として読めません: 暗号化されています。";
        QTest::newRow("a zip without a workbook")
            << zipOf({{QStringLiteral("content.xml"), QByteArray("<x/>")}})
            << "Excel のファイル（.xlsx）として読めません: ブックがありません（.xlsx ではない ZIP ファイルです）。";
    }

    void workbooks()
    {
        QFETCH(QByteArray, bytes); QFETCH(QString, expected);
        QString got;
        try {
            got = flat(gridFromBytes(bytes, QStringLiteral("plan.xlsx")));
        } catch (const TableError& error) {
            got = error.message();
        }
        QCOMPARE(got, expected);
    }

    // A whole column pasted is refused at the limit, not read to its end; a year, pasted or as a
    // workbook, is read at once (a few milliseconds; the bounds leave room for a busy machine).
    void sizes()
    {
        QString huge = QStringLiteral("日付\t日課\n");
        for (int day = 0; day < 100000; ++day)
            huge += QStringLiteral("2028/4/10\t通常\n");
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(outcome([&] { return readPlan(gridFromPaste(huge)); }), QStringLiteral("表が大きすぎます（上限 10,000 行）。"));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));

        QString year = QStringLiteral("令和10年度 年間行事予定\n日付\t曜日\t行事\t日課\n");
        for (QDate day(2028, 4, 1); day < QDate(2029, 4, 1); day = day.addDays(1))
            year += QStringLiteral("%1月%2日\t月\t\t通常\n").arg(day.month()).arg(day.day());
        timer.restart();
        const QString read = outcome([&] { return readPlan(gridFromPaste(year)); });
        const qint64 spent = timer.elapsed();
        QVERIFY2(read.endsWith(QStringLiteral("通常=365 | skipped 0 unnamed 0")), qPrintable(read));
        QVERIFY2(spent < 100, qPrintable(QString::number(spent)));

        QString rows = QStringLiteral("<row><c t=\"inlineStr\"><is><t>日付</t></is></c><c t=\"s\"><v>0</v></c></row>");
        for (int serial = 46844; serial < 46844 + 365; ++serial)
            rows += QStringLiteral("<row><c s=\"1\"><v>%1</v></c><c t=\"s\"><v>1</v></c></row>").arg(serial);
        const QByteArray workbook = zipOf(workbookOf(rows));
        timer.restart();
        const QString sheet = outcome([&] { return readPlan(gridFromBytes(workbook)); });
        const qint64 sheetSpent = timer.elapsed();
        QVERIFY2(sheet.endsWith(QStringLiteral("通常=365 | skipped 0 unnamed 0")), qPrintable(sheet));
        QVERIFY2(sheetSpent < 100, qPrintable(QString::number(sheetSpent)));
    }
};

QTEST_GUILESS_MAIN(TestPlan)
#include "test_plan.moc"
