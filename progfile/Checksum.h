#pragma once
#include <QByteArray>

// The program file's checksum: the XOR of every byte before the "*" of the
// trailer, written as two upper-case hexadecimal digits.
class FileCheckSum
{
public:
    void fold(const char* data, qsizetype size);
    void fold(const QByteArray& bytes) { fold(bytes.constData(), bytes.size()); }

    // The two hexadecimal digits of the trailer ("00" before the first byte).
    QByteArray hexDigits() const;

private:
    quint8 m_value = 0;
};
