#include "snd/player/PlayChime.h"

#include "snd/player/ChimePlayer.h"
#include "ui/BusyCursor.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString TuneFolder(const QString& binaryFolder)
{
    const QDir bin(binaryFolder);
    const QString beside = bin.filePath(QStringLiteral("snd"));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(bin.filePath(QStringLiteral(WZ_TUNES_FROM_EDITOR)));
    return QFileInfo(installed).isDir() ? installed : beside;
}

QString ChimeFilePath(int tune)
{
    return TuneFolder(QCoreApplication::applicationDirPath())
        + QStringLiteral("/%1.mp3").arg(tune, 2, 10, QLatin1Char('0'));
}

void PlayChime(int tune, QWidget* parent)
{
    if (tune < 1 || tune > 7)
        return;
    ChimePlayer& player = chimePlayer();
    if (!player.hasOutputDevice()) {
        MessageBox::show(parent, QStringLiteral("音を再生できる装置がないため、試聴できません。"),
                         QStringLiteral("チャイム演奏"), MessageBox::Icon::Exclamation);
        return;
    }
    const BusyCursor busy;  // until the tune has stopped
    try {
        player.play(ChimeFilePath(tune));
        MessageBox::show(parent, QStringLiteral("OKを押すと再生を終了します。"), QStringLiteral("チャイム演奏"),
                         MessageBox::Icon::Information);
    } catch (...) {
        player.stop();
        throw;
    }
    player.stop();
}
