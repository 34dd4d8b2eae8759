// The chime tunes shipped in snd/: each an unbroken MPEG Layer III stream of its intended length, taken from its
// frame headers (encoder delay, padding and an Xing/Info frame are well under the tolerance); no two the same.

#include "TestSupport.h"

#include <QCryptographicHash>
#include <QSet>
#include <QtTest>

namespace {

// Walks the frame headers to the end of the file, adding up `seconds` and
// noting the size of the first frame; says what is wrong, if anything.
QString scan(const QByteArray& file, double& seconds, qint64& firstFrame)
{
    static const int bitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int bitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates1[] = {44100, 48000, 32000};
    int firstRate = 0;
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    for (qint64 pos = 0, bytes = 0; pos < file.size(); pos += bytes) {
        if (file.size() - pos < 4)
            return QStringLiteral("file ends inside a frame header at byte %1").arg(pos);
        const uchar* p = d + pos;
        const int version = (p[1] >> 3) & 3;  // 1 is reserved
        const int bitrateIndex = p[2] >> 4;
        const int rateIndex = (p[2] >> 2) & 3;
        if (version == 1 || p[0] != 0xff || (p[1] & 0xe0) != 0xe0 || ((p[1] >> 1) & 3) != 1 || bitrateIndex == 0
            || bitrateIndex == 15 || rateIndex == 3)
            return QStringLiteral("no Layer III frame header at byte %1").arg(pos);  // or free format
        const bool mpeg1 = version == 3;
        const int rate = rates1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
        const int samples = mpeg1 ? 1152 : 576;
        bytes = samples / 8 * (mpeg1 ? bitrates1 : bitrates2)[bitrateIndex] * 1000 / rate + ((p[2] >> 1) & 1);
        if (pos + bytes > file.size())
            return QStringLiteral("frame at byte %1 is cut short").arg(pos);
        if (pos == 0) {
            firstFrame = bytes;
            firstRate = rate;
        }
        if ((p[3] >> 6) != 3 || rate != firstRate || (rate != 44100 && rate != 22050))
            return QStringLiteral("frame at byte %1 is not mono at the stream's 44.1 or 22.05 kHz").arg(pos);
        seconds += double(samples) / rate;
    }
    return QString();
}

const std::pair<const char*, double> kTunes[] = {{"01.mp3", 24}, {"02.mp3", 37}, {"03.mp3", 41}, {"04.mp3", 55},
                                                 {"05.mp3", 40}, {"06.mp3", 39}, {"07.mp3", 74}};

}  // namespace

class TestTunes : public QObject {
    Q_OBJECT

private slots:
    void shippedTunes()
    {
        QSet<QByteArray> seen;
        for (const auto& [name, seconds] : kTunes) {
            const QByteArray file = TestSupport::readBytes(QStringLiteral(WZ_SOURCE_SND_DIR "/") + QLatin1String(name));
            double length = 0;
            qint64 firstFrame = 0;
            const QString error = scan(file, length, firstFrame);
            QVERIFY2(error.isEmpty(), qPrintable(QLatin1String(name) + ": " + error));
            QVERIFY2(qAbs(length - seconds) <= 0.3,
                     qPrintable(QStringLiteral("%1 lasts %2 s, should be %3 s").arg(name).arg(length).arg(seconds)));
            // A real recording, not a stub: a usable bit rate.
            QVERIFY2(file.size() / seconds >= 4000, name);
            // Only the audio is compared: the first frame may be the stream's summary, which names the encoder.
            seen.insert(QCryptographicHash::hash(file.mid(firstFrame), QCryptographicHash::Sha256));
        }
        QCOMPARE(seen.size(), int(std::size(kTunes)));  // no two the same recording
    }
};

QTEST_GUILESS_MAIN(TestTunes)
#include "test_tunes.moc"
