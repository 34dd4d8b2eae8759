// Checks the chime tunes shipped in snd/: each file is an unbroken MPEG Layer
// III stream of the intended length, and no two tunes are the same recording.
// The length is taken from the stream itself by walking its frame headers;
// encoder delay and padding (well under the tolerance) are left in.

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QtTest>

#ifndef WZ_SOURCE_SND_DIR
#error "WZ_SOURCE_SND_DIR must point at the snd/ source folder"
#endif

namespace {

struct FrameHeader {
    int sampleRate = 0;
    int channels = 0;
    int bytes = 0;
    int samples = 0;
    int sideInfo = 0;
};

bool parseFrameHeader(const uchar* p, FrameHeader& h)
{
    const int versionBits = (p[1] >> 3) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0 || versionBits == 1 || ((p[1] >> 1) & 3) != 1 || bitrateIndex == 0
        || bitrateIndex == 15 || rateIndex == 3)
        return false;  // not a Layer III header, or free format
    static const int bitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int bitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates1[] = {44100, 48000, 32000};
    const bool mpeg1 = versionBits == 3;
    h.sampleRate = rates1[rateIndex] / (mpeg1 ? 1 : versionBits == 2 ? 2 : 4);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.samples = mpeg1 ? 1152 : 576;
    h.bytes = h.samples / 8 * (mpeg1 ? bitrates1 : bitrates2)[bitrateIndex] * 1000 / h.sampleRate + ((p[2] >> 1) & 1);
    h.sideInfo = mpeg1 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    return true;
}

struct Stream {
    QString error;  // empty if the whole file parsed
    FrameHeader first;
    int frames = 0;  // audio frames, a leading Xing/Info frame not counted
    QByteArray audio;
    double seconds() const { return double(frames) * first.samples / first.sampleRate; }
};

Stream failed(const QString& error)
{
    Stream s;
    s.error = error;
    return s;
}

Stream scan(const QByteArray& file)
{
    Stream s;
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    qint64 pos = 0, audioStart = 0;
    while (pos < file.size()) {
        FrameHeader h;
        if (file.size() - pos < 4 || !parseFrameHeader(d + pos, h))
            return failed(QStringLiteral("no frame header at byte %1").arg(pos));
        if (pos + h.bytes > file.size())
            return failed(QStringLiteral("frame at byte %1 is cut short").arg(pos));
        if (pos == 0) {
            s.first = h;
            const QByteArray tag = file.mid(4 + h.sideInfo, 4);
            if (tag == "Xing" || tag == "Info") {  // the stream's summary, no audio
                pos = audioStart = h.bytes;
                continue;
            }
        } else if (h.sampleRate != s.first.sampleRate || h.channels != s.first.channels) {
            return failed(QStringLiteral("frame at byte %1 changes the stream format").arg(pos));
        }
        ++s.frames;
        pos += h.bytes;
    }
    s.audio = file.mid(audioStart);
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
            const Stream s = scan(f.readAll());
            QVERIFY2(s.error.isEmpty(), qPrintable(QLatin1String(name) + ": " + s.error));
            QCOMPARE(s.first.channels, 1);
            QVERIFY2(s.first.sampleRate == 44100 || s.first.sampleRate == 22050, name);
            QVERIFY2(qAbs(s.seconds() - seconds) <= 0.3,
                     qPrintable(QStringLiteral("%1 lasts %2 s, should be %3 s").arg(name).arg(s.seconds()).arg(seconds)));
            // A real recording, not a stub: a usable bit rate.
            QVERIFY2(s.audio.size() / seconds >= 4000, name);
            const QByteArray hash = QCryptographicHash::hash(s.audio, QCryptographicHash::Sha256);
            QVERIFY2(!seen.contains(hash), qPrintable(QLatin1String(name) + " repeats an earlier tune"));
            seen.insert(hash);
        }
    }
};

QTEST_GUILESS_MAIN(TestTunes)
#include "test_tunes.moc"
