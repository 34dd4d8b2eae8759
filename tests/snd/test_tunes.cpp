// Checks the chime tunes shipped in snd/: each file is an unbroken MPEG Layer
// III stream of the intended length, and no two tunes are the same recording.
// The length is taken from the stream itself by walking its frame headers;
// encoder delay, padding and a leading Xing/Info frame (all well under the
// tolerance) are left in.

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QtTest>

#ifndef WZ_SOURCE_SND_DIR
#error "WZ_SOURCE_SND_DIR must point at the snd/ source folder"
#endif

namespace {

struct Stream {
    QString error;  // empty if the whole file parsed
    int sampleRate = 0;
    int channels = 0;
    int firstFrame = 0;  // its size in bytes
    double seconds = 0;
};

// Walks the MPEG Layer III frame headers from the start of the file to its end.
Stream scan(const QByteArray& file)
{
    static const int bitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int bitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates1[] = {44100, 48000, 32000};
    Stream s;
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    for (qint64 pos = 0, bytes = 0; pos < file.size(); pos += bytes) {
        if (file.size() - pos < 4)
            return {QStringLiteral("file ends inside a frame header at byte %1").arg(pos)};
        const uchar* p = d + pos;
        const int version = (p[1] >> 3) & 3;  // 1 is reserved
        const int bitrateIndex = p[2] >> 4;
        const int rateIndex = (p[2] >> 2) & 3;
        if (version == 1 || p[0] != 0xff || (p[1] & 0xe0) != 0xe0 || ((p[1] >> 1) & 3) != 1 || bitrateIndex == 0
            || bitrateIndex == 15 || rateIndex == 3)
            return {QStringLiteral("no Layer III frame header at byte %1").arg(pos)};  // or free format
        const bool mpeg1 = version == 3;
        const int rate = rates1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
        const int channels = (p[3] >> 6) == 3 ? 1 : 2;
        const int samples = mpeg1 ? 1152 : 576;
        bytes = samples / 8 * (mpeg1 ? bitrates1 : bitrates2)[bitrateIndex] * 1000 / rate + ((p[2] >> 1) & 1);
        if (pos + bytes > file.size())
            return {QStringLiteral("frame at byte %1 is cut short").arg(pos)};
        if (pos == 0)
            s = {QString(), rate, channels, int(bytes)};
        else if (rate != s.sampleRate || channels != s.channels)
            return {QStringLiteral("frame at byte %1 changes the stream format").arg(pos)};
        s.seconds += double(samples) / rate;
    }
    return s;
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
            QFile f(QStringLiteral(WZ_SOURCE_SND_DIR "/") + QLatin1String(name));
            QVERIFY2(f.open(QIODevice::ReadOnly), name);
            const QByteArray file = f.readAll();
            const Stream s = scan(file);
            QVERIFY2(s.error.isEmpty(), qPrintable(QLatin1String(name) + ": " + s.error));
            QVERIFY2(s.channels == 1 && (s.sampleRate == 44100 || s.sampleRate == 22050), name);
            QVERIFY2(qAbs(s.seconds - seconds) <= 0.3,
                     qPrintable(QStringLiteral("%1 lasts %2 s, should be %3 s").arg(name).arg(s.seconds).arg(seconds)));
            // A real recording, not a stub: a usable bit rate.
            QVERIFY2(file.size() / seconds >= 4000, name);
            // Only the audio is compared: the first frame may be the stream's
            // summary, which names the encoder.
            const QByteArray hash = QCryptographicHash::hash(file.mid(s.firstFrame), QCryptographicHash::Sha256);
            QVERIFY2(!seen.contains(hash), qPrintable(QLatin1String(name) + " repeats an earlier tune"));
            seen.insert(hash);
        }
    }
};

QTEST_GUILESS_MAIN(TestTunes)
#include "test_tunes.moc"
