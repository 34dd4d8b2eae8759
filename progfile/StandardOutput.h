#pragma once
#include <QByteArray>

// The commands' standard output, written with a check of every byte.
namespace StandardOutput {

// Standard output was closed when the process started (and now leads to
// /dev/null, so that no file takes its number): nothing written reaches
// anybody.
void markClosed();

// 0 when all of `bytes` reached standard output, else why not (an errno:
// EBADF when it was closed, EPIPE when the reader went away, ENOSPC ...).
int write(const QByteArray& bytes);

}  // namespace StandardOutput
