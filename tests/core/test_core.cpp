// What a number box means, real dates and date rules.
#include "core/DateRules.h"
#include "core/Dates.h"
#include "core/NumericText.h"

#include <QtTest>

using namespace NumericText;

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void onlyPlainDecimalsAreNumbers_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<bool>("numeric"); QTest::addColumn<double>("value");
        QTest::newRow("signed") << "-3" << true << -3.0;
        QTest::newRow("fraction") << "0.3" << true << 0.3;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("full-width minus and point") << "－１．５" << true << -1.5;
        // Blank, infinity, hexadecimal, two points, an inner blank, a sign alone, a decimal comma.
        for (const char* text : {"  ", "inf", "0x1F", "1.2.3", "1 2", "-", "1,5"})
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << false << 0.0;
    }

    void onlyPlainDecimalsAreNumbers()
    {
        QFETCH(QString, text); QFETCH(bool, numeric); QFETCH(double, value);
        const auto real = toReal(text);
        QCOMPARE(real.has_value(), numeric);
        if (numeric)
            QCOMPARE(*real, value);
    }

    // Both the number typed and the integer it rounds to must lie in the range: 7.4 is no tune, 23.4 no hour.
    void rangeHoldsTheTypedValue_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<int>("lo"); QTest::addColumn<int>("hi");
        QTest::addColumn<bool>("inside");
        QTest::newRow("tune 7.4") << "7.4" << 1 << 7 << false;
        QTest::newRow("hour 23.4") << "23.4" << 0 << 23 << false;
        QTest::newRow("tune 0.6") << "0.6" << 1 << 7 << false;
        QTest::newRow("tune 6.6") << "6.6" << 1 << 7 << true;
        QTest::newRow("not a number") << "7a" << 1 << 7 << false;
    }

    void rangeHoldsTheTypedValue()
    {
        QFETCH(QString, text); QFETCH(int, lo); QFETCH(int, hi); QFETCH(bool, inside);
        QCOMPARE(inRange(text, lo, hi), inside);
    }

    // Halves round to even; 2000 (year 0) was a leap year.
    void roundingAndRealDates()
    {
        QCOMPARE((QList<long long>{roundHalfEven(0.5), roundHalfEven(1.5), roundHalfEven(2.5), roundHalfEven(-2.5),
                                   roundHalfEven(2.6), toInteger("５８．５").value()}),
                 (QList<long long>{0, 2, 2, -2, 3, 58}));
        QVERIFY(!toInteger("99999999999999").has_value());
        QCOMPARE((QList<bool>{IsRealDate(2014, 2, 29), IsRealDate(2016, 2, 29), IsRealDate(2014, 4, 31), IsRealDate(14, 5, 3),
                              IsRealDate(0, 2, 29), IsRealDate(2014, 13, 1), IsRealDate(2014, 0, 10), IsRealDate(2014, 1, 0)}),
                 (QList<bool>{false, true, false, true, true, false, false, false}));
    }

    // A rule as the command writes it, over a span: the days it gives (first, last, count) and its words.
    void dateRules_data()
    {
        QTest::addColumn<QString>("rule"); QTest::addColumn<QString>("from"); QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("days"); QTest::addColumn<QString>("words");
        QTest::newRow("every day across months") << "毎日" << "2026-07-21" << "2026-08-31"
                                                 << "2026-07-21 2026-08-31 42" << "期間のすべての日";
        QTest::newRow("one day") << "毎日" << "2028-02-29" << "2028-02-29" << "2028-02-29 2028-02-29 1" << "期間のすべての日";
        QTest::newRow("backwards") << "毎日" << "2026-05-02" << "2026-05-01" << "0" << "期間のすべての日";
        QTest::newRow("weekdays, Sunday first") << "曜日:水,日" << "2026-04-01" << "2026-04-30"
                                                << "2026-04-01 2026-04-29 9" << "毎週 日・水";
        QTest::newRow("first Friday, school year") << "第1:金" << "2026-04-01" << "2027-03-31"
                                                   << "2026-04-03 2027-03-05 12" << "第1 金曜日";
        QTest::newRow("fifth Wednesday some months lack") << "第5:水" << "2026-01-01" << "2026-12-31"
                                                         << "2026-04-29 2026-12-30 4" << "第5 水曜日";
        QTest::newRow("last Friday, month ends") << "最終:金" << "2026-01-01" << "2026-03-31"
                                                 << "2026-01-30 2026-03-27 3" << "最終 金曜日";
        QTest::newRow("last Friday on the 31st, not the 24th") << "最終:金" << "2026-07-01" << "2026-07-31"
                                                              << "2026-07-31 2026-07-31 1" << "最終 金曜日";
        QTest::newRow("last Monday of a leap February") << "最終:月" << "2032-02-01" << "2032-02-29"
                                                        << "2032-02-23 2032-02-23 1" << "最終 月曜日";
        QTest::newRow("31st where months have it") << "日:31" << "2026-01-01" << "2026-12-31"
                                                  << "2026-01-31 2026-12-31 7" << "毎月 31日";
        QTest::newRow("29th, leap year") << "日:29" << "2028-01-01" << "2028-03-31" << "2028-01-29 2028-03-29 3"
                                         << "毎月 29日";
        QTest::newRow("15th, span ends inside") << "日:15" << "2026-04-16" << "2026-06-15"
                                                << "2026-05-15 2026-06-15 2" << "毎月 15日";
        QTest::newRow("nothing in span") << "日:15" << "2026-04-16" << "2026-05-14" << "0" << "毎月 15日";
        // Words the command refuses.
        for (const char* rule : {"", "毎週", "曜日:", "曜日:月,月", "曜日:Mon", "第0:金", "第6:金", "第1:", "第１:金",
                                 "最終:金曜", "日:0", "日:32", "日:01", "日:15日", "毎日:月"})
            QTest::addRow("refused '%s'", rule) << QString::fromUtf8(rule) << "2026-04-01" << "2026-04-30" << "" << "";
    }

    void dateRules()
    {
        QFETCH(QString, rule); QFETCH(QString, from); QFETCH(QString, to); QFETCH(QString, days); QFETCH(QString, words);
        const std::optional<DateRules::Rule> parsed = DateRules::ParseRule(rule);
        QCOMPARE(parsed.has_value(), !words.isEmpty());
        if (!parsed)
            return;
        QCOMPARE(DateRules::RuleText(*parsed), words);
        const QList<QDate> found =
            DateRules::Expand(*parsed, QDate::fromString(from, Qt::ISODate), QDate::fromString(to, Qt::ISODate));
        const QString got = found.isEmpty() ? QStringLiteral("0")
                                            : QStringLiteral("%1 %2 %3").arg(found.first().toString(Qt::ISODate),
                                                                             found.last().toString(Qt::ISODate))
                                                  .arg(found.size());
        QCOMPARE(got, days);
    }
};


QTEST_MAIN(TestCore)
#include "test_core.moc"
