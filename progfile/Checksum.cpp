#include "progfile/Checksum.h"

QString CharToBits(const QString& text)
{
    const int value = text.isEmpty() ? 0 : (text.at(0).unicode() & 0xFF);
    return ToBinaryDigits(value).rightJustified(8, QLatin1Char('0'));
}

QString ToBinaryDigits(qint64 n)
{
    QString digits;
    for (; n > 0; n /= 2)
        digits.prepend(n % 2 ? QLatin1Char('1') : QLatin1Char('0'));
    return digits;
}

QString XorBits(const QString& a, const QString& b)
{
    QString result(8, QLatin1Char('0'));
    for (int i = 0; i < 8; ++i) {
        const QChar x = i < a.size() ? a.at(i) : QLatin1Char('0');
        const QChar y = i < b.size() ? b.at(i) : QLatin1Char('0');
        if (x != y)
            result[i] = QLatin1Char('1');
    }
    return result;
}

QString BitsToHex(const QString& bits)
{
    quint64 value = 0;
    for (const QChar digit : bits)
        value = value * 2 + (digit == QLatin1Char('1') ? 1 : 0);
    return QString::number(value, 16).toUpper();
}

void FileCheckSum::fold(const char* data, qsizetype size)
{
    quint8 value = m_value;
    for (qsizetype i = 0; i < size; ++i)
        value ^= static_cast<quint8>(data[i]);
    m_value = value;
    if (size > 0)
        m_empty = false;
}

QString FileCheckSum::bits() const
{
    return m_empty ? QString() : ToBinaryDigits(m_value).rightJustified(8, QLatin1Char('0'));
}

QByteArray FileCheckSum::hexDigits() const
{
    const QString digits = bits();
    return (BitsToHex(digits.left(4)) + BitsToHex(digits.mid(4))).toLatin1();
}
