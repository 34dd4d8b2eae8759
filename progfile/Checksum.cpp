#include "progfile/Checksum.h"

void FileCheckSum::fold(const char* data, qsizetype size)
{
    quint8 value = m_value;
    for (qsizetype i = 0; i < size; ++i)
        value ^= static_cast<quint8>(data[i]);
    m_value = value;
}

QByteArray FileCheckSum::hexDigits() const
{
    return QByteArray::number(m_value, 16).toUpper().rightJustified(2, '0');
}
