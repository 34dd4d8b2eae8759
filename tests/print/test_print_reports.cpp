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

// The pages of a PDF as pdftotext -layout reads them, made comparable. A
// failing pdftotext gives no pages.
QStringList pdfPages(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return comparable(QString::fromUtf8(process.readAllStandardOutput())).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
}

// True when the page holds these texts in this order; blanks do not count.
bool holds(const QString& page, const QStringList& texts)
{
    QStringList patterns;
    for (const QString& text : texts)
        patterns << QRegularExpression::escape(comparable(text));
    return page.contains(QRegularExpression(patterns.join(QStringLiteral("[\\s\\S]*"))));
}

// Week rows as the arguments of addWeekRow: `count` programs ten minutes
// apart from 0:00 on one day.
QList<QList<int>> tenMinutesApart(int special, int day, int count)
{
    QList<QList<int>> rows;
    for (int i = 0; i < count; ++i)
        rows << QList<int>{1, special, day, day, i / 6, i % 6 * 10, 0};
    return rows;
}

struct Listing {
    const char* name;
    int kind;
    int circuit;
    QList<QList<int>> rows;    // week rows as the arguments of addWeekRow
    QList<QStringList> pages;  // the texts each page holds, in this order
};

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
    }
    void cleanup() { m_store.reset(); }

    // A listing longer than a page continues with its headings repeated, a
    // group of special programs with its own heading too.
    void listings()
    {
        const QString week = QStringLiteral("日曜日 月曜日 火曜日 水曜日 木曜日 金曜日 土曜日");
        const QString timeSignal = QStringLiteral("報時プログラム 回 路 1 出力時間 5秒幅");
        const QList<Listing> listings{
            {"chime week grid", PrintJob::Week, 2,
             {{2, 0, 1, 1, 8, 5, 9, 0, 0, 0, 2}, {2, 0, 1, 1, 12, 0, 0, 0, 0, 0, 3}, {2, 0, 5, 5, 9, 30, 15, 0, 0, 0, 7}},
             {{"チャイムプログラム 回 路 2 チャイム起動時間 10秒前", week, "No. 時刻 曲 時刻 曲", "1  8:05.09 曲2  9:30.15 曲7",
               "2 12:00.00 曲3", "印刷日 : 2027/04/01 07:05 1 / 1 週間プログラム"}}},
            {"timer week grid", PrintJob::Week, 3, {{3, 0, 5, 6, 22, 0, 0, 6, 0}, {3, 0, 0, 0, 8, 0, 0, 17, 30}},
             {{"タイマプログラム 回 路 3 終了時刻 0秒", "開始 終了 開始 終了", " 8:00～ 17:30 22:00～  6:00土", "1 / 1 週間プログラム"}}},
            {"special programs in number order", PrintJob::Special, 1,
             {{1, 10, 0, 0, 10, 0, 0}, {1, 2, 0, 0, 2, 0, 0}, {1, 1, 0, 0, 1, 0, 0}, {1, 2, 0, 0, 13, 45, 0}},
             {{timeSignal, "特殊番号: 1", " 1:00", "特殊番号: 2", " 2:00", "13:45", "特殊番号: 10", "10:00",
               "1 / 1 特殊プログラム"}}},
            {"special group over two pages", PrintJob::Special, 1, tenMinutesApart(7, 0, 60),
             {{timeSignal, "特殊番号: 7", " 0:00", "1 / 2 特殊プログラム"},
              {timeSignal, "特殊番号: 7", " 9:50", "2 / 2 特殊プログラム"}}},
            {"week grid over three pages", PrintJob::Week, 1, tenMinutesApart(0, 1, 110),
             {{timeSignal, week, "1  0:00", "1 / 3 週間プログラム"},
              {timeSignal, week, "2 / 3 週間プログラム"},
              {timeSignal, week, "110 18:10", "3 / 3 週間プログラム"}}},
        };
        for (const Listing& listing : listings) {
            cleanup();
            init();
            for (QList<int> row : listing.rows) {
                row.resize(11);
                addWeekRow(row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8], row[9], row[10]);
            }
            const QStringList pages = print(listing.kind, listing.circuit);
            QVERIFY2(pages.size() == listing.pages.size(), listing.name);
            for (int page = 0; page < pages.size(); ++page)
                QVERIFY2(holds(pages[page], listing.pages[page]),
                         qPrintable(QStringLiteral("%1, page %2:\n%3").arg(listing.name).arg(page + 1).arg(pages[page])));
            // Rendering it again gives the same pages.
            QCOMPARE(print(listing.kind, listing.circuit), pages);
        }
    }

    // The second half has no entries: headings and foot only.
    void yearHalvesWithTheirHeadings()
    {
        addYearRow(1, 27, 3, 1, 3);
        addYearRow(1, 27, 3, 15, 0);
        addYearRow(1, 27, 5, 3, 7);
        PrintTexts::setPrintYear(QStringLiteral("27年"));
        const QStringList pages = print(PrintJob::Year, 1);
        QCOMPARE(pages.size(), 2);
        QVERIFY(holds(pages[0], {"2027年 回 路 1", "1月 2月 3月 4月 5月 6月", " 1日 P03  3日 P07", "15日 停止",
                                 "1 / 2 年間プログラム"}));
        QVERIFY(holds(pages[1], {"2027年 回 路 1", "7月 8月 9月 10月 11月 12月", "2 / 2 年間プログラム"}));
        QVERIFY(!pages[0].contains(comparable("出力時間")) && !pages[1].contains(QLatin1Char('P')));
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
