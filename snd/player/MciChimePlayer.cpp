#include "snd/player/ChimePlayer.h"

#include "core/platform/WindowsSound.h"

#include <QFileInfo>

namespace {

// Windows plays MP3 files through its media control interface.
class MciChimePlayer : public ChimePlayer
{
public:
    bool hasOutputDevice() const override { return Platform::hasSoundOutput(); }

    void play(const QString& path) override
    {
        stop();
        // A missing file has nothing to play.
        if (QFileInfo(path).isFile())
            m_open = Platform::playSoundFile(path);
    }

    void stop() override
    {
        if (!m_open)
            return;
        Platform::stopSound();
        m_open = false;
    }

    ~MciChimePlayer() override { stop(); }

private:
    bool m_open = false;
};

}  // namespace

std::unique_ptr<ChimePlayer> makeSystemChimePlayer()
{
    return std::make_unique<MciChimePlayer>();
}
