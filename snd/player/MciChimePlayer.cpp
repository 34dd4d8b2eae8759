#include "snd/player/ChimePlayer.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mmsystem.h>

namespace {

// Windows plays MP3 files through its media control interface: the tune is
// opened under the alias Chime, played, and closed again on stop.
class MciChimePlayer : public ChimePlayer
{
public:
    bool hasOutputDevice() const override { return ::waveOutGetNumDevs() > 0; }

    void play(const QString& path) override
    {
        stop();
        // A missing file has nothing to play.
        if (!QFileInfo(path).isFile())
            return;
        const QString open =
            QStringLiteral("open \"%1\" type mpegvideo alias Chime").arg(QDir::toNativeSeparators(path));
        if (send(open) != 0)
            return;
        m_open = true;
        send(QStringLiteral("play Chime"));
    }

    void stop() override
    {
        if (!m_open)
            return;
        send(QStringLiteral("close Chime"));
        m_open = false;
    }

    ~MciChimePlayer() override { stop(); }

private:
    static MCIERROR send(const QString& command)
    {
        return ::mciSendStringW(reinterpret_cast<const wchar_t*>(command.utf16()), nullptr, 0, nullptr);
    }

    bool m_open = false;
};

}  // namespace

std::unique_ptr<ChimePlayer> makeSystemChimePlayer()
{
    return std::make_unique<MciChimePlayer>();
}
