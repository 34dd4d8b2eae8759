#include "core/platform/Platform.h"

// What both systems' sides share.

FileError::FileError(const QString& description)
    : std::runtime_error(description.toStdString())
{
}

namespace Platform {

void fail(const QString& path, int systemError)
{
    refuse(path, reason(systemError));
}

bool FileStamp::operator==(const FileStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && modifiedNs == other.modifiedNs
        && changedNs == other.changedNs;
}

}  // namespace Platform
