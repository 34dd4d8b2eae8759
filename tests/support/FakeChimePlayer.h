#pragma once
#include "ui/MessageBox.h"
#include "snd/player/ChimePlayer.h"

#include <QGuiApplication>
#include <QStringList>

// Logs "play <path> boxes=N" and "stop boxes=N" in order, N being the number
// of message boxes shown by then, " busy" added while the hourglass is up;
// `device` false: a machine without audio.
class FakeChimePlayer : public ChimePlayer
{
public:
    explicit FakeChimePlayer(QStringList* log, bool device = true) : m_log(log), m_device(device) {}
    bool hasOutputDevice() const override { return m_device; }
    void play(const QString& path) override { note("play " + path); }
    void stop() override { note(QStringLiteral("stop")); }

private:
    void note(const QString& what)
    {
        *m_log << what + QStringLiteral(" boxes=%1").arg(MessageBox::shown().size())
                + (QGuiApplication::overrideCursor() ? QStringLiteral(" busy") : QString());
    }
    QStringList* m_log;
    bool m_device;
};
