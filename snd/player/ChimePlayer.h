#pragma once
#include <QString>
#include <memory>

// Plays one tune file at a time. Failures (missing file, undecodable data)
// are swallowed: the caller only needs "play" and "stop", and whether there
// is a device to hear anything on.
class ChimePlayer
{
public:
    virtual ~ChimePlayer() = default;
    virtual bool hasOutputDevice() const = 0;
    virtual void play(const QString& path) = 0;
    virtual void stop() = 0;
};

// The player the chime preview uses: the system's unless replaced.
ChimePlayer& chimePlayer();

// Replaces the player (tests use a recording one); null brings back the
// system's player.
void setChimePlayer(std::unique_ptr<ChimePlayer> player);

// The system's player: Qt Multimedia, or on Windows the media control
// interface (MciChimePlayer.cpp).
std::unique_ptr<ChimePlayer> makeSystemChimePlayer();
