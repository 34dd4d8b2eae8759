#include "progfile/StandardOutput.h"

#include <cerrno>
#include <unistd.h>

namespace {
bool g_closed = false;
}

namespace StandardOutput {

void markClosed()
{
    g_closed = true;
}

int write(const QByteArray& bytes)
{
    if (g_closed)
        return EBADF;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        done += written;
    }
    return 0;
}

}  // namespace StandardOutput
