#include "progfile/Checksum.h"

#include <QRandomGenerator>
#include <QTest>

class TestChecksum : public QObject
{
    Q_OBJECT
private slots:
    void bitTextsAgreeWithByteXor();
};

// The device's bit-text description (CharToBits, XorBits, BitsToHex) and
// FileCheckSum must both give the plain XOR of the bytes, every byte value,
// as two upper-case hexadecimal digits.
void TestChecksum::bitTextsAgreeWithByteXor()
{
    FileCheckSum sum;
    QCOMPARE(sum.hexDigits(), QByteArray("00"));  // nothing folded
    sum.fold(QByteArray("77"));
    QCOMPARE(sum.hexDigits(), QByteArray("00"));  // cancels to zero

    QRandomGenerator random(4711);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(int(random.bounded(1, 80)), '\0');
        quint8 expected = 0;
        QString bits;
        for (char& byte : bytes) {
            byte = char(random.bounded(0, 256));
            expected ^= quint8(byte);
            const QString charBits = CharToBits(QString(QLatin1Char(byte)));
            bits = bits.isEmpty() ? charBits : XorBits(charBits, bits);
        }
        const QByteArray hex = QByteArray::number(expected, 16).toUpper().rightJustified(2, '0');
        QCOMPARE(bits, QString::number(expected, 2).rightJustified(8, QLatin1Char('0')));
        QCOMPARE((BitsToHex(bits.left(4)) + BitsToHex(bits.mid(4))).toLatin1(), hex);
        FileCheckSum folded;
        folded.fold(bytes);
        QCOMPARE(folded.bits(), bits);
        QCOMPARE(folded.hexDigits(), hex);
    }
}

QTEST_APPLESS_MAIN(TestChecksum)
#include "test_checksum.moc"
