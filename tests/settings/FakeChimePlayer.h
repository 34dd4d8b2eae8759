#pragma once
#include "app/ui/MessageBox.h"
#include "snd/player/ChimePlayer.h"

#include <QStringList>

// Records what the chime preview asks of the player, in order, together
// with the number of message boxes shown by then.
class FakeChimePlayer : public ChimePlayer
{
public:
    explicit FakeChimePlayer(QStringList* log)
        : m_log(log)
    {
    }
    void play(const QString& path) override
    {
        *m_log << QStringLiteral("play %1 boxes=%2").arg(path).arg(MessageBox::shown().size());
    }
    void stop() override { *m_log << QStringLiteral("stop boxes=%1").arg(MessageBox::shown().size()); }

private:
    QStringList* m_log;
};
