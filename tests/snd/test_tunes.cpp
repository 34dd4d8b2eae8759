// Checks the chime tunes shipped in snd/: each file is a clean MPEG audio
// stream of the intended length, and no two tunes are the same recording.
//
// The length is taken from the stream itself, without a decoder: count the
// Layer III frames by walking their headers, then remove the encoder delay
// and padding that the LAME tag in the leading Xing/Info frame records.

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QtTest>

#include <array>
#include <cstdint>

#ifndef WZ_SOURCE_SND_DIR
#error "WZ_SOURCE_SND_DIR must point at the snd/ source folder"
#endif

namespace {

struct FrameHeader {
    int version = 0; // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    int sampleRate = 0;
    int channels = 0;
    int bytes = 0;
    int samples = 0;
    int sideInfo = 0;
    bool crc = false;
};

bool parseFrameHeader(const uchar* p, FrameHeader& h)
{
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0)
        return false;
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false; // reserved version, not Layer III, free format or bad index

    static const int bitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int bitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates1[] = {44100, 48000, 32000};

    const bool mpeg1 = versionBits == 3;
    h.version = mpeg1 ? 10 : versionBits == 2 ? 20 : 25;
    h.sampleRate = rates1[rateIndex] / (mpeg1 ? 1 : versionBits == 2 ? 2 : 4);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.samples = mpeg1 ? 1152 : 576;
    const int kbps = (mpeg1 ? bitrates1 : bitrates2)[bitrateIndex];
    h.bytes = h.samples / 8 * kbps * 1000 / h.sampleRate + ((p[2] >> 1) & 1);
    h.sideInfo = mpeg1 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    h.crc = (p[1] & 1) == 0;
    return true;
}

quint32 be32(const uchar* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

// CRC-16 as used for the LAME tag (polynomial 0x8005, reflected, start 0).
quint16 crc16(const uchar* p, int n)
{
    quint16 crc = 0;
    for (int i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? (crc >> 1) ^ 0xa001 : crc >> 1;
    }
    return crc;
}

struct Stream {
    QString error; // empty if the whole file parsed
    int frames = 0; // audio frames, the Info frame not counted
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    bool infoFrame = false;
    qint64 infoFrames = -1; // frame count stored in the Info frame
    bool lameTag = false;
    int delay = 0;
    int padding = 0;
    QByteArray audio; // the audio frames, for comparing recordings

    double seconds() const
    {
        return double(qint64(frames) * samplesPerFrame - delay - padding) / sampleRate;
    }
};

Stream scan(const QByteArray& file)
{
    Stream s;
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    qint64 pos = 0, end = file.size();

    if (end >= 10 && file.startsWith("ID3")) {
        const qint64 size = (d[6] & 0x7f) << 21 | (d[7] & 0x7f) << 14 | (d[8] & 0x7f) << 7 | (d[9] & 0x7f);
        pos = 10 + size + ((d[5] & 0x10) ? 10 : 0);
    }
    if (end - pos >= 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;

    FrameHeader first;
    qint64 audioStart = -1;
    qint64 infoPos = -1;
    qint64 musicLength = -1; // bytes from the Info frame to the end, per the LAME tag
    while (pos < end) {
        FrameHeader h;
        if (end - pos < 4 || !parseFrameHeader(d + pos, h)) {
            s.error = QStringLiteral("no frame header at byte %1").arg(pos);
            return s;
        }
        if (pos + h.bytes > end) {
            s.error = QStringLiteral("frame at byte %1 is cut short").arg(pos);
            return s;
        }
        if (first.version == 0) {
            first = h;
            // A Xing/Info frame carries no audio, only the stream's summary.
            const qint64 tag = pos + 4 + (h.crc ? 2 : 0) + h.sideInfo;
            const QByteArray id = file.mid(tag, 4);
            if (tag + 8 <= pos + h.bytes && (id == "Xing" || id == "Info")) {
                s.infoFrame = true;
                infoPos = pos;
                const quint32 flags = be32(d + tag + 4);
                qint64 off = tag + 8;
                if (flags & 1) {
                    s.infoFrames = be32(d + off);
                    off += 4;
                }
                off += ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
                const QByteArray encoder = file.mid(off, 4);
                if (off + 36 <= pos + h.bytes && (encoder == "LAME" || encoder == "Lavf" || encoder == "Lavc")) {
                    s.lameTag = true;
                    if (crc16(d + pos, int(off + 34 - pos)) != (d[off + 34] << 8 | d[off + 35])) {
                        s.error = QStringLiteral("LAME tag checksum does not match");
                        return s;
                    }
                    s.delay = d[off + 21] << 4 | d[off + 22] >> 4;
                    s.padding = (d[off + 22] & 0x0f) << 8 | d[off + 23];
                    musicLength = be32(d + off + 28);
                }
                pos += h.bytes;
                continue;
            }
        } else if (h.version != first.version || h.sampleRate != first.sampleRate
                   || h.channels != first.channels) {
            s.error = QStringLiteral("frame at byte %1 changes the stream format").arg(pos);
            return s;
        }
        if (audioStart < 0)
            audioStart = pos;
        ++s.frames;
        pos += h.bytes;
    }
    if (s.frames == 0) {
        s.error = QStringLiteral("no audio frames");
        return s;
    }
    s.sampleRate = first.sampleRate;
    s.channels = first.channels;
    s.samplesPerFrame = first.samples;
    s.audio = file.mid(audioStart, end - audioStart);
    if (qint64(s.frames) * s.samplesPerFrame <= s.delay + s.padding)
        s.error = QStringLiteral("encoder delay and padding exceed the stream");
    else if (s.infoFrames >= 0 && s.infoFrames != s.frames)
        s.error = QStringLiteral("Info frame counts %1 frames, stream has %2").arg(s.infoFrames).arg(s.frames);
    else if (musicLength >= 0 && musicLength != end - infoPos)
        s.error = QStringLiteral("LAME tag counts %1 bytes, stream has %2").arg(musicLength).arg(end - infoPos);
    return s;
}

struct Tune {
    const char* file;
    double seconds;
};

constexpr std::array<Tune, 7> kTunes{{{"01.mp3", 24},
                                      {"02.mp3", 37},
                                      {"03.mp3", 41},
                                      {"04.mp3", 55},
                                      {"05.mp3", 40},
                                      {"06.mp3", 39},
                                      {"07.mp3", 74}}};

constexpr double kTolerance = 0.3; // seconds

QByteArray readTune(const char* name)
{
    QFile f(QStringLiteral(WZ_SOURCE_SND_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestTunes : public QObject {
    Q_OBJECT

private slots:
    void shippedTune_data();
    void shippedTune();
    void tunesAreDistinct();
};

void TestTunes::shippedTune_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("seconds");
    for (const Tune& t : kTunes)
        QTest::newRow(t.file) << QString::fromLatin1(t.file) << t.seconds;
}

void TestTunes::shippedTune()
{
    QFETCH(QString, file);
    QFETCH(double, seconds);

    const QByteArray bytes = readTune(file.toLatin1().constData());
    QVERIFY2(!bytes.isEmpty(), qPrintable(file + " is missing or empty"));
    const Stream s = scan(bytes);
    QVERIFY2(s.error.isEmpty(), qPrintable(s.error));

    QCOMPARE(s.channels, 1);
    QVERIFY2(s.sampleRate == 44100 || s.sampleRate == 22050, qPrintable(QString::number(s.sampleRate)));
    QVERIFY2(qAbs(s.seconds() - seconds) <= kTolerance,
             qPrintable(QStringLiteral("lasts %1 s, should be %2 s").arg(s.seconds(), 0, 'f', 3).arg(seconds)));

    // A real recording, not a stub: many frames and a usable bit rate.
    QVERIFY2(s.frames >= 500, qPrintable(QString::number(s.frames)));
    QVERIFY2(s.audio.size() / seconds >= 4000, qPrintable(QString::number(s.audio.size())));
}

void TestTunes::tunesAreDistinct()
{
    QSet<QByteArray> seen;
    for (const Tune& t : kTunes) {
        const Stream s = scan(readTune(t.file));
        QVERIFY2(s.error.isEmpty(), qPrintable(QLatin1String(t.file) + ": " + s.error));
        const QByteArray hash = QCryptographicHash::hash(s.audio, QCryptographicHash::Sha256);
        QVERIFY2(!seen.contains(hash), qPrintable(QLatin1String(t.file) + " repeats an earlier tune"));
        seen.insert(hash);
    }
}

QTEST_GUILESS_MAIN(TestTunes)
#include "test_tunes.moc"
