#include "FakeChimePlayer.h"
#include "TestSupport.h"
#include "snd/player/PlayChime.h"

#include <QCoreApplication>
#include <QtTest>

class TestPlayChime : public QObject
{
    Q_OBJECT
private slots:
    // Plays before the box opens and stops once it is closed; tunes outside
    // 1～7 do nothing at all. The real player, back after a null
    // replacement, ends in the box alone when the file is missing, and may
    // be destroyed while playing.
    void playsTheTuneWhileTheBoxIsOpen()
    {
        TestSupport::scriptDialogs();
        QStringList log;
        setChimePlayer(std::make_unique<FakeChimePlayer>(&log));
        for (int tune : {7, 0, 8, 1})
            PlayChime(tune);
        const QString snd = QCoreApplication::applicationDirPath() + "/snd/";
        QCOMPARE(log, (QStringList{"play " + snd + "07.mp3 boxes=0", "stop boxes=1", "play " + snd + "01.mp3 boxes=1",
                                   "stop boxes=2"}));
        const MessageBox::Shown box = MessageBox::lastShown();
        QCOMPARE(box.title + "|" + box.text, QStringLiteral("チャイム演奏|OKを押すと再生を終了します。"));
        QCOMPARE(box.icon, MessageBox::Icon::Information);
        QCOMPARE(box.buttons, MessageBox::Buttons(QMessageBox::Ok));
        QVERIFY(!QGuiApplication::overrideCursor());

        setChimePlayer(nullptr);
        PlayChime(5);  // no tune files beside the test
        const QString built = qEnvironmentVariable("WZ_BUILD_DIR") + "/snd/03.mp3";
        QVERIFY(QFileInfo::exists(built));
        std::unique_ptr<ChimePlayer> player = makeMultimediaChimePlayer();
        player->play(built);
        QTest::qWait(300);
        player->stop();
        player->play(built);
        player.reset();
        QCOMPARE(MessageBox::shown().size(), 3);
        setChimePlayer(nullptr);  // gone before the application object
    }
};

QTEST_MAIN(TestPlayChime)
#include "test_play_chime.moc"
