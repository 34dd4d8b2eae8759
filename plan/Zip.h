#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>

namespace Plan {

// The members of a zip archive held in memory, found through its central
// directory. Only stored and deflated members of an ordinary archive are
// read: zip64, encryption, archives over several disks and members larger
// than `memberLimit` (however well they compress) are refused with
// TableError, before anything is inflated.
class ZipArchive
{
public:
    ZipArchive(const QByteArray& bytes, qint64 memberLimit);
    bool contains(const QString& name) const { return m_members.contains(name); }
    // The member's content, checked against its length and CRC.
    QByteArray read(const QString& name) const;

private:
    struct Member {
        quint16 flags = 0, method = 0;
        quint32 crc = 0, packedSize = 0, size = 0, headerOffset = 0;
    };
    QByteArray m_bytes;
    qint64 m_memberLimit;
    QHash<QString, Member> m_members;
};

}  // namespace Plan
