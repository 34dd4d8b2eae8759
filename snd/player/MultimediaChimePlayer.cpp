#include "snd/player/ChimePlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace {

class MultimediaChimePlayer : public ChimePlayer
{
public:
    bool hasOutputDevice() const override { return !QMediaDevices::audioOutputs().isEmpty(); }

    void play(const QString& path) override
    {
        stop();
        // A missing file has nothing to play; handing it to the backend
        // would only produce warnings on the console.
        if (!QFileInfo(path).isFile())
            return;
        if (!m_player) {
            m_player = std::make_unique<QMediaPlayer>();
            m_output = std::make_unique<QAudioOutput>();
            m_player->setAudioOutput(m_output.get());
        }
        m_player->setSource(QUrl::fromLocalFile(path));
        m_player->play();
    }

    void stop() override
    {
        if (!m_player)
            return;
        m_player->stop();
        // Let go of the file so that it is not held open between previews.
        m_player->setSource(QUrl());
    }

    ~MultimediaChimePlayer() override
    {
        if (m_player)
            m_player->setAudioOutput(nullptr);
    }

private:
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_output;
};

}  // namespace

std::unique_ptr<ChimePlayer> makeSystemChimePlayer()
{
    return std::make_unique<MultimediaChimePlayer>();
}
