#include "progfile/OutputLock.h"

#include "core/platform/Platform.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int kWaitMs = 10000;

}  // namespace

OutputLock::OutputLock(const QString& path, Wait wait)
{
    if (isStandardOutput(path))
        return;
    const QByteArray lockPath = Platform::lockPathFor(Platform::resolveOutput(path));
    auto lock = std::make_unique<Platform::FileLock>(path, lockPath);
    QElapsedTimer waiting;
    waiting.start();
    while (!lock->tryLock()) {
        if (wait == Wait::No)
            Platform::refuse(path,
                             QStringLiteral("ほかの書き込みが終わっていないため書き込めません。"
                                            "しばらくしてからやり直してください。"));
        if (waiting.elapsed() >= kWaitMs)
            Platform::refuse(path, QStringLiteral("ほかの書き込みが終わらないため書き込めません。"));
        QThread::msleep(5);
    }
    m_lock = std::move(lock);
}

OutputLock::~OutputLock() = default;

bool OutputLock::isStandardOutput(const QString& path)
{
    return path == QLatin1String("-") || Platform::leadsToStandardOutput(path);
}
