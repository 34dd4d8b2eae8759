#include "app/core/Dates.h"
#include "app/core/NumericText.h"

#include <QtTest>

using namespace NumericText;

class TestValues : public QObject
{
    Q_OBJECT
private slots:
    void onlyPlainDecimalsAreNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("signed") << "-3" << true << -3.0;
        QTest::newRow("fraction") << "0.3" << true << 0.3;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("full-width digits") << "１２" << true << 12.0;
        QTest::newRow("full-width minus and point") << "－１．５" << true << -1.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  " << false << 0.0;
        QTest::newRow("exponent") << "1e1" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("hex") << "0x1F" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
    }

    void onlyPlainDecimalsAreNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto real = toReal(text);
        QCOMPARE(real.has_value(), numeric);
        if (numeric)
            QCOMPARE(*real, value);
    }

    void roundsHalvesToEven()
    {
        QCOMPARE(roundHalfEven(0.5), 0LL);
        QCOMPARE(roundHalfEven(1.5), 2LL);
        QCOMPARE(roundHalfEven(2.5), 2LL);
        QCOMPARE(roundHalfEven(-2.5), -2LL);
        QCOMPARE(roundHalfEven(2.6), 3LL);
        QCOMPARE(toInteger("５８．５").value(), 58);
        QVERIFY(!toInteger("99999999999999").has_value());
    }

    void realDates()
    {
        QVERIFY(!IsRealDate(2014, 2, 29));
        QVERIFY(IsRealDate(2016, 2, 29));
        QVERIFY(!IsRealDate(2014, 4, 31));
        QVERIFY(IsRealDate(14, 5, 3));
        QVERIFY(IsRealDate(0, 2, 29));  // 2000 was a leap year
        QVERIFY(!IsRealDate(2014, 13, 1));
        QVERIFY(!IsRealDate(2014, 0, 10));
        QVERIFY(!IsRealDate(2014, 1, 0));
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "test_values.moc"
