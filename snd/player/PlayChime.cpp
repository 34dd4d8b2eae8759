#include "snd/player/PlayChime.h"

#include "app/ui/BusyCursor.h"
#include "app/ui/MessageBox.h"
#include "snd/player/ChimePlayer.h"

#include <QCoreApplication>

QString ChimeFilePath(int tune)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/snd/%1.mp3").arg(tune, 2, 10, QLatin1Char('0'));
}

void PlayChime(int tune, QWidget* parent)
{
    if (tune < 1 || tune > 7)
        return;
    ChimePlayer& player = chimePlayer();
    try {
        {
            BusyCursor busy;
            player.play(ChimeFilePath(tune));
        }
        MessageBox::show(parent, QStringLiteral("OKを押すと再生を終了します。"), QStringLiteral("チャイム演奏"),
                         MessageBox::Icon::Information);
    } catch (...) {
        player.stop();
        throw;
    }
    player.stop();
}
