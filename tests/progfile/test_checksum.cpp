#include "progfile/Checksum.h"

#include <QRandomGenerator>
#include <QTest>

class TestChecksum : public QObject
{
    Q_OBJECT
private slots:
    void bitRoutines();
    void bitsToHex_data();
    void bitsToHex();
    void fastSumAgreesWithBitTexts();
    void trailerDigits_data();
    void trailerDigits();
};

void TestChecksum::bitRoutines()
{
    QCOMPARE(CharToBits(QStringLiteral("1")), QStringLiteral("00110001"));
    QCOMPARE(CharToBits(QStringLiteral("1*")), QStringLiteral("00110001"));
    QCOMPARE(CharToBits(QStringLiteral("\r")), QStringLiteral("00001101"));
    QCOMPARE(CharToBits(QString()), QStringLiteral("00000000"));

    QCOMPARE(ToBinaryDigits(0), QString());
    QCOMPARE(ToBinaryDigits(1), QStringLiteral("1"));
    QCOMPARE(ToBinaryDigits(10), QStringLiteral("1010"));
    QCOMPARE(ToBinaryDigits(255), QStringLiteral("11111111"));

    QCOMPARE(XorBits(QStringLiteral("00110001"), QStringLiteral("00110010")), QStringLiteral("00000011"));
    QCOMPARE(XorBits(QStringLiteral("11111111"), QStringLiteral("11111111")), QStringLiteral("00000000"));
}

void TestChecksum::bitsToHex_data()
{
    QTest::addColumn<QString>("bits");
    QTest::addColumn<QString>("hex");
    QTest::newRow("empty") << "" << "0";
    QTest::newRow("zero nibble") << "0000" << "0";
    QTest::newRow("ten") << "1010" << "A";
    QTest::newRow("fifteen") << "1111" << "F";
    QTest::newRow("no leading zeros") << "00010110" << "16";
    QTest::newRow("byte") << "11111111" << "FF";
}

void TestChecksum::bitsToHex()
{
    QFETCH(QString, bits);
    QFETCH(QString, hex);
    QCOMPARE(BitsToHex(bits), hex);
}

// The byte XOR must give what the device's bit-text description gives.
void TestChecksum::fastSumAgreesWithBitTexts()
{
    QRandomGenerator random(4711);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(1, 80)), '\0');
        for (char& byte : bytes)
            byte = char(random.bounded(32, 127));
        QString bits;
        for (const char byte : bytes) {
            const QString charBits = CharToBits(QString(QLatin1Char(byte)));
            bits = bits.isEmpty() ? charBits : XorBits(charBits, bits);
        }
        FileCheckSum sum;
        sum.fold(bytes);
        QCOMPARE(sum.bits(), bits);
        QCOMPARE(sum.hexDigits(), (BitsToHex(bits.left(4)) + BitsToHex(bits.mid(4))).toLatin1());
    }
}

void TestChecksum::trailerDigits_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("digits");
    QTest::newRow("nothing folded") << QByteArray() << QByteArray("00");
    QTest::newRow("high nibble zero") << QByteArray("\x0A", 1) << QByteArray("0A");
    QTest::newRow("cancels to zero") << QByteArray("77") << QByteArray("00");
    QTest::newRow("upper case") << QByteArray("\xAB", 1) << QByteArray("AB");
}

void TestChecksum::trailerDigits()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, digits);
    FileCheckSum sum;
    sum.fold(bytes);
    QCOMPARE(sum.hexDigits(), digits);
}

QTEST_APPLESS_MAIN(TestChecksum)
#include "test_checksum.moc"
