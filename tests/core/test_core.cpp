// What a number box means, and real dates.
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
};

QTEST_MAIN(TestCore)
#include "test_core.moc"
