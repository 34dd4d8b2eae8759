#pragma once
#include <QString>

// The media control interface that plays the tunes on Windows
// (PlatformWindows.cpp). Elsewhere Qt Multimedia plays them and nothing
// defines these.
namespace Platform {

// Whether there is a device to play on.
bool hasSoundOutput();
// Plays the MP3 file at `path`; false when it cannot.
bool playSoundFile(const QString& path);
// Stops and lets go of what playSoundFile opened.
void stopSound();

}  // namespace Platform
