#pragma once
#include <QByteArray>
#include <QString>

// The program file's checksum is the XOR of every byte before the "*" of the
// trailer. The device documentation describes it with eight-digit binary
// texts; these routines keep that description, FileCheckSum computes the same
// value on bytes.

// The byte value of the first character as exactly 8 binary digits
// ("1" -> "00110001"); an empty text gives "00000000".
QString CharToBits(const QString& text);

// Binary digits of n (n >= 0), most significant first, no leading zeros;
// 0 gives "".
QString ToBinaryDigits(qint64 n);

// Position by position over 8 digits: "0" where a and b agree, "1" where
// they differ.
QString XorBits(const QString& a, const QString& b);

// The value of binary digits (empty = 0) as upper-case hexadecimal without
// leading zeros; four digits give exactly one hexadecimal digit.
QString BitsToHex(const QString& bits);

// The running checksum of a program file. Empty until the first byte.
class FileCheckSum
{
public:
    void fold(char byte)
    {
        m_value ^= static_cast<quint8>(byte);
        m_empty = false;
    }
    void fold(const char* data, qsizetype size);
    void fold(const QByteArray& bytes) { fold(bytes.constData(), bytes.size()); }

    bool isEmpty() const { return m_empty; }
    quint8 value() const { return m_value; }
    // The checksum as 8 binary digits, "" while empty.
    QString bits() const;
    // The two hexadecimal digits of the trailer ("00" while empty).
    QByteArray hexDigits() const;

private:
    quint8 m_value = 0;
    bool m_empty = true;
};
