#include "TestSupport.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace TestSupport;

namespace {

const QDateTime kPrintedAt(QDate(2027, 4, 1), QTime(7, 5));

// Qt's PDF maps some ideographs back to Kangxi radicals and ～ to 〜; after
// NFKC (with 〜 taken as ～) the text is the drawn text. Blanks are dropped,
// since pdftotext spaces out columns in its own way.
QString comparable(QString text)
{
    text.replace(QChar(0x301C), QChar(0xFF5E));
    return text.normalized(QString::NormalizationForm_KC).remove(QRegularExpression(QStringLiteral("[ \\t]")));
}

// The pages of a PDF as pdftotext -layout reads them, each made comparable.
QStringList pdfPages(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("pdftotext failed on %s", qPrintable(path));
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = comparable(page);
    return pages;
}

// True when one line of the page holds all the pieces, in this order.
bool lineHolds(const QString& page, const QStringList& pieces)
{
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        qsizetype at = 0;
        bool all = true;
        for (const QString& piece : pieces) {
            at = line.indexOf(comparable(piece), at);
            if (at < 0) {
                all = false;
                break;
            }
            at += comparable(piece).size();
        }
        if (all)
            return true;
    }
    return false;
}

}  // namespace

class TestPrintReports : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        setCircuit(2, 2, 10);
    }
    void cleanup() { m_store.reset(); }

    void chimeWeekGrid()
    {
        addWeekRow(2, 0, 1, 1, 8, 5, 9, 0, 0, 0, 2);
        addWeekRow(2, 0, 1, 1, 12, 0, 0, 0, 0, 0, 3);
        addWeekRow(2, 0, 5, 5, 9, 30, 15, 0, 0, 0, 7);
        const QStringList pages = print(PrintJob::Week, 2);
        QCOMPARE(pages.size(), 1);
        QVERIFY(lineHolds(pages[0], {"チャイムプログラム", "回 路 2", "チャイム起動時間 10秒前"}));
        QVERIFY(lineHolds(pages[0], {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"}));
        QVERIFY(lineHolds(pages[0], {"No.", "時刻", "曲", "時刻", "曲"}));
        QVERIFY(lineHolds(pages[0], {"1", " 8:05.09", "曲2", " 9:30.15", "曲7"}));
        QVERIFY(lineHolds(pages[0], {"2", "12:00.00", "曲3"}));
        QVERIFY(lineHolds(pages[0], {"印刷日 : ", "2027/04/01", "07:05", "1 / 1", "週間プログラム"}));
    }

    void timerWeekGrid()
    {
        addWeekRow(3, 0, 5, 6, 22, 0, 0, 6, 0);
        addWeekRow(3, 0, 0, 0, 8, 0, 0, 17, 30);
        const QStringList pages = print(PrintJob::Week, 3);
        QVERIFY(lineHolds(pages[0], {"タイマプログラム", "回 路 3", "終了時刻 0秒"}));
        QVERIFY(lineHolds(pages[0], {"開始", "終了", "開始", "終了"}));
        QVERIFY(lineHolds(pages[0], {" 8:00～", "17:30", "22:00～", " 6:00土"}));
    }

    void specialGroupsInNumberOrder()
    {
        for (int special : {10, 2, 1})
            addWeekRow(1, special, 0, 0, special, 0, 0);
        addWeekRow(1, 2, 0, 0, 13, 45, 0);
        const QStringList pages = print(PrintJob::Special, 1);
        QCOMPARE(pages.size(), 1);
        QVERIFY(lineHolds(pages[0], {"報時プログラム", "回 路 1", "出力時間 5秒幅"}));
        const QString page = pages[0];
        const qsizetype one = page.indexOf(comparable("特殊番号: 1\n"));
        const qsizetype two = page.indexOf(comparable("特殊番号: 2\n"));
        const qsizetype ten = page.indexOf(comparable("特殊番号: 10\n"));
        QVERIFY(one >= 0 && one < two && two < ten);
        QVERIFY(page.indexOf(comparable(" 2:00")) > two && page.indexOf(comparable("13:45")) < ten);
        QVERIFY(lineHolds(page, {"1 / 1", "特殊プログラム"}));
    }

    // A group that runs on to the next page repeats its heading there.
    void specialGroupContinues()
    {
        for (int i = 0; i < 60; ++i)
            addWeekRow(1, 7, 0, 0, i / 6, i % 6 * 10, 0);
        const QStringList pages = print(PrintJob::Special, 1);
        QCOMPARE(pages.size(), 2);
        for (const QString& page : pages) {
            QVERIFY(page.startsWith(comparable("報時プログラム")));
            QVERIFY(page.contains(comparable("特殊番号: 7\n")));
        }
        QVERIFY(lineHolds(pages[1], {"9:50"}) && lineHolds(pages[1], {"2 / 2", "特殊プログラム"}));
    }

    void yearHalvesWithTheirHeadings()
    {
        addYearRow(1, 27, 3, 1, 3);
        addYearRow(1, 27, 3, 15, 0);
        addYearRow(1, 27, 5, 3, 7);
        PrintTexts::setPrintYear(QStringLiteral("27年"));
        const QStringList pages = print(PrintJob::Year, 1);
        QCOMPARE(pages.size(), 2);
        QVERIFY(lineHolds(pages[0], {"2027年", "回 路 1"}));
        QVERIFY(!pages[0].contains(comparable("出力時間")));
        QVERIFY(lineHolds(pages[0], {"1月", "2月", "3月", "4月", "5月", "6月"}));
        QVERIFY(lineHolds(pages[0], {" 1日 P03", " 3日 P07"}));
        QVERIFY(lineHolds(pages[0], {"15日 停止"}));
        QVERIFY(lineHolds(pages[0], {"1 / 2", "年間プログラム"}));
        // The second half has no entries: headings and foot only.
        QVERIFY(lineHolds(pages[1], {"2027年", "回 路 1"}));
        QVERIFY(lineHolds(pages[1], {"7月", "8月", "9月", "10月", "11月", "12月"}));
        QVERIFY(!pages[1].contains(QLatin1Char('P')));
        QVERIFY(lineHolds(pages[1], {"2 / 2", "年間プログラム"}));
    }

    // A listing longer than a page continues with its headings repeated;
    // rendering it twice in a row gives the same pages.
    void longListingOverThreePages()
    {
        for (int i = 0; i < 110; ++i)
            addWeekRow(1, 0, 1, 1, i / 6, i % 6 * 10, 0);
        const QStringList pages = print(PrintJob::Week, 1);
        QCOMPARE(pages.size(), 3);
        for (int page = 0; page < 3; ++page) {
            QVERIFY(lineHolds(pages[page], {"報時プログラム", "回 路 1", "出力時間 5秒幅"}));
            QVERIFY(lineHolds(pages[page], {"日曜日", "月曜日", "土曜日"}));
            QVERIFY(lineHolds(pages[page], {QStringLiteral("%1 / 3").arg(page + 1), "週間プログラム"}));
        }
        QVERIFY(lineHolds(pages[0], {"1", " 0:00"}));
        QVERIFY(lineHolds(pages[2], {"110", "18:10"}));
        QCOMPARE(print(PrintJob::Week, 1), pages);
    }

private:
    QStringList print(int kind, int circuit)
    {
        PrintJob::setHandOver(kind, circuit);
        PrintJob::fillTables();
        const Reports::Report report = Reports::BuildReport();
        const QString path = m_store->path() + QStringLiteral("/listing.pdf");
        {
            QPdfWriter writer(path);
            Reports::SetUpPage(writer, report);
            Reports::Render(writer, report, kPrintedAt);
        }
        return pdfPages(path);
    }

    std::unique_ptr<ScratchStore> m_store;
};

QTEST_MAIN(TestPrintReports)
#include "test_print_reports.moc"
