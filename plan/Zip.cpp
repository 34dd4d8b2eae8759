#include "plan/Zip.h"

#include "plan/Table.h"

#include <zlib.h>

namespace Plan {

namespace {

constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kDirectoryEnd = 0x06054b50;
constexpr quint32 kZip64Locator = 0x07064b50;
constexpr int kDirectoryEndSize = 22;

[[noreturn]] void refuse(const QString& why)
{
    throw TableError(QStringLiteral("Excel のファイル（.xlsx）として読めません: ") + why);
}

[[noreturn]] void broken()
{
    refuse(QStringLiteral("ファイルが壊れています。"));
}

// Little-endian numbers at `at`, which the caller has checked lie inside.
quint32 number(const QByteArray& bytes, qint64 at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

}  // namespace

ZipArchive::ZipArchive(const QByteArray& bytes, qint64 memberLimit)
    : m_bytes(bytes)
    , m_memberLimit(memberLimit)
{
    const qint64 size = bytes.size();
    if (size < kDirectoryEndSize)
        broken();
    // The end record is last but for a comment of at most 65,535 bytes.
    qint64 end = -1;
    for (qint64 at = size - kDirectoryEndSize; at >= 0 && at >= size - kDirectoryEndSize - 0xFFFF; --at) {
        if (number(bytes, at, 4) == kDirectoryEnd && at + kDirectoryEndSize + number(bytes, at + 20, 2) == size) {
            end = at;
            break;
        }
    }
    if (end < 0)
        broken();
    if (end >= 20 && number(bytes, end - 20, 4) == kZip64Locator)
        refuse(QStringLiteral("ZIP64 の形式には対応していません。"));
    const quint32 disk = number(bytes, end + 4, 2), directoryDisk = number(bytes, end + 6, 2);
    const quint32 entriesHere = number(bytes, end + 8, 2), entries = number(bytes, end + 10, 2);
    const quint32 directorySize = number(bytes, end + 12, 4), directoryOffset = number(bytes, end + 16, 4);
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
        refuse(QStringLiteral("ZIP64 の形式には対応していません。"));
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
        refuse(QStringLiteral("複数に分けられたファイルには対応していません。"));
    if (qint64(directoryOffset) + directorySize > end)
        broken();

    qint64 at = directoryOffset;
    const qint64 directoryEnd = qint64(directoryOffset) + directorySize;
    for (quint32 i = 0; i < entries; ++i) {
        if (at + 46 > directoryEnd || number(bytes, at, 4) != kDirectoryEntry)
            broken();
        Member member;
        member.flags = quint16(number(bytes, at + 8, 2));
        member.method = quint16(number(bytes, at + 10, 2));
        member.crc = number(bytes, at + 16, 4);
        member.packedSize = number(bytes, at + 20, 4);
        member.size = number(bytes, at + 24, 4);
        const qint64 nameLength = number(bytes, at + 28, 2);
        const qint64 skipped = nameLength + number(bytes, at + 30, 2) + number(bytes, at + 32, 2);
        member.headerOffset = number(bytes, at + 42, 4);
        if (at + 46 + skipped > directoryEnd)
            broken();
        if (member.packedSize == 0xFFFFFFFF || member.size == 0xFFFFFFFF || member.headerOffset == 0xFFFFFFFF)
            refuse(QStringLiteral("ZIP64 の形式には対応していません。"));
        m_members.insert(QString::fromUtf8(bytes.mid(at + 46, nameLength)), member);
        at += 46 + skipped;
    }
}

QByteArray ZipArchive::read(const QString& name) const
{
    const auto found = m_members.constFind(name);
    if (found == m_members.constEnd())
        refuse(QStringLiteral("%1 がありません。").arg(name));
    const Member& member = *found;
    if (member.flags & 0x41)
        refuse(QStringLiteral("暗号化されています。"));
    if (member.method != 0 && member.method != 8)
        refuse(QStringLiteral("%1 の圧縮方式には対応していません。").arg(name));
    if (member.size > m_memberLimit)
        refuse(QStringLiteral("%1 が大きすぎます（上限 %2 バイト）。").arg(name, grouped(m_memberLimit)));

    const qint64 header = member.headerOffset;
    if (header + 30 > m_bytes.size() || number(m_bytes, header, 4) != kLocalHeader)
        broken();
    const qint64 data = header + 30 + number(m_bytes, header + 26, 2) + number(m_bytes, header + 28, 2);
    if (data + member.packedSize > m_bytes.size())
        broken();

    QByteArray content;
    if (member.method == 0) {
        if (member.packedSize != member.size)
            broken();
        content = m_bytes.mid(data, member.size);
    } else {
        // One byte more than the directory promises: a member that inflates
        // past its stated size is refused, not followed.
        content.resize(qsizetype(member.size) + 1);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            broken();
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(m_bytes.constData() + data));
        stream.avail_in = member.packedSize;
        stream.next_out = reinterpret_cast<Bytef*>(content.data());
        stream.avail_out = uInt(content.size());
        const int result = inflate(&stream, Z_FINISH);
        const qint64 produced = qint64(stream.total_out);
        inflateEnd(&stream);
        if (result != Z_STREAM_END || produced != member.size)
            broken();
        content.resize(member.size);
    }
    const uLong crc =
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(content.constData()), uInt(content.size()));
    if (crc != member.crc)
        broken();
    return content;
}

}  // namespace Plan
