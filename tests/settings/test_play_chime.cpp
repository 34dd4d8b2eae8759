#include "FakeChimePlayer.h"
#include "TestSupport.h"
#include "snd/player/PlayChime.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

class TestPlayChime : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        scriptDialogs();
        m_log.clear();
        setChimePlayer(std::make_unique<FakeChimePlayer>(&m_log));
    }
    void cleanupTestCase() { setChimePlayer(nullptr); }

    void playsTheTuneWhileTheBoxIsOpen()
    {
        PlayChime(7);
        const QString path = QCoreApplication::applicationDirPath() + "/snd/07.mp3";
        QCOMPARE(m_log, (QStringList{"play " + path + " boxes=0", "stop boxes=1"}));
        const MessageBox::Shown box = MessageBox::lastShown();
        QCOMPARE(box.text, QStringLiteral("OKを押すと再生を終了します。"));
        QCOMPARE(box.title, QStringLiteral("チャイム演奏"));
        QCOMPARE(box.icon, MessageBox::Icon::Information);
        QCOMPARE(box.buttons, MessageBox::Buttons(QMessageBox::Ok));
        QVERIFY(!QGuiApplication::overrideCursor());

        PlayChime(1);
        QVERIFY(m_log.at(2).startsWith("play " + QCoreApplication::applicationDirPath() + "/snd/01.mp3"));
    }

    void tunesOutsideOneToSevenDoNothing()
    {
        for (int tune : {0, 8, -1, 99})
            PlayChime(tune);
        QVERIFY(m_log.isEmpty());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The real player: a missing file and a machine without sound both end
    // in the box and nothing else.
    void realPlayerReportsNothing()
    {
        setChimePlayer(nullptr);
        QVERIFY(!QFileInfo::exists(ChimeFilePath(5)));
        PlayChime(5);
        QCOMPARE(shownMessages(), (QStringList{"チャイム演奏|OKを押すと再生を終了します。"}));

        const QString built = qEnvironmentVariable("WZ_BUILD_DIR") + "/snd/03.mp3";
        if (!QFileInfo::exists(built))
            QSKIP("tune files not built");
        std::unique_ptr<ChimePlayer> player = makeMultimediaChimePlayer();
        player->play(built);
        QTest::qWait(300);
        player->stop();
        player->play(built);
        player.reset();  // destroyed while playing
        QCOMPARE(MessageBox::shown().size(), 1);
    }

private:
    QStringList m_log;
};

QTEST_MAIN(TestPlayChime)
#include "test_play_chime.moc"
