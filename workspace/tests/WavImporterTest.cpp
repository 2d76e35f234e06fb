// The WAV importer: the preview image played from memory through the sound
// output, imports (with the file's bytes from offset 58 on), and playback
// stopped before the image it plays is replaced or its window closes.
#include <QLabel>
#include <QTest>

#include "WorkspaceFixture.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kSample = 0x6000;
constexpr size_t kLength = 3000;

QStringList WavTemplate(const QString& frequencyLine)
{
    QStringList lines{QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE"), QStringLiteral("GAME: S2"),
                      QStringLiteral("ZORP-II VERSION: 0.0.13"),          QStringLiteral("WAVIMPORTER"),
                      QStringLiteral("STARTADDR: 0x6000"),                QStringLiteral("WAVLENGTH: 3000")};
    if (!frequencyLine.isEmpty())
        lines << frequencyLine;
    lines << QStringLiteral("ENDFRAME");
    return lines;
}

uint32_t Le32(const QByteArray& data, int at)
{
    return static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8 |
           static_cast<uint8_t>(data[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(data[at + 3])) << 24;
}

struct WavWindow {
    Harness h;
    QString rom;
    Bytes image;
    QPointer<frmZorpII> window;

    explicit WavWindow(const QString& frequencyLine = QStringLiteral("FREQUENCY: 16500"))
    {
        image = MakeGenesisImage(0x8000, "SONIC THE             HEDGEHOG 2", "GM 00001051-01");
        for (size_t i = 0; i < kLength; ++i)
            image[kSample + i] = static_cast<uint8_t>(0x80 + (i % 50));
        rom = h.path(QStringLiteral("s2.bin"));
        const QString tpl = h.path(QStringLiteral("S2.ZORP"));
        WriteBytes(rom, image);
        WriteTemplate(tpl, WavTemplate(frequencyLine));
        window = h.open(tpl, rom);
        window->show();
    }
    ~WavWindow() { delete window.data(); }

    void play() { QTest::mouseClick(find<QWidget>(window, QStringLiteral("cmdPlay")), Qt::LeftButton); }
    void import(const QString& path)
    {
        h.scripted.files.choose(path);
        QTest::mouseClick(find<QWidget>(window, QStringLiteral("cmdImportWAV")), Qt::LeftButton);
    }
};

} // namespace

class WavImporterTest : public QObject {
    Q_OBJECT

private slots:
    void playSendsThePreviewImage();
    void defaultFrequencyIs16000();
    void importStopsPlaybackAndTakesBytesFrom58();
    void cancelledImportChangesNothing();
    void restoreAndCloseStopOwnPlaybackOnly();
};

void WavImporterTest::playSendsThePreviewImage()
{
    WavWindow w;
    w.play();
    QCOMPARE(w.h.scripted.sound.played.size(), 1);
    const QByteArray played = w.h.scripted.sound.played[0];
    QCOMPARE(played.size(), qsizetype(58 + kLength));
    QCOMPARE(played.left(4), QByteArray("RIFF"));
    QCOMPARE(Le32(played, 4), uint32_t(kLength + 50));
    QCOMPARE(played.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(Le32(played, 24), 16500u);
    QCOMPARE(Le32(played, 28), 16500u);
    QCOMPARE(Le32(played, 46), uint32_t(kLength));
    QCOMPARE(played.mid(50, 4), QByteArray("data"));
    QCOMPARE(Le32(played, 54), uint32_t(kLength));
    QVERIFY(std::equal(played.begin() + 58, played.end(), w.image.begin() + kSample,
                       [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
    QVERIFY(w.h.scripted.sound.isPlaying());
    QCOMPARE(w.h.scripted.sound.stops, 0);
}

void WavImporterTest::defaultFrequencyIs16000()
{
    WavWindow w{QString()};
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavSpecs"))->text(),
             QStringLiteral("This game requires a WAV file with the frequency 16000Hz. The WAV must not be larger "
                            "than 3000 bytes."));
    w.play();
    QCOMPARE(Le32(w.h.scripted.sound.played[0], 24), 16000u);
}

void WavImporterTest::importStopsPlaybackAndTakesBytesFrom58()
{
    WavWindow w;
    w.play();
    // A common 44-byte header: the first 14 sample bytes are skipped, as the
    // importer always reads from offset 58.
    Bytes wav(44, 0);
    for (int i = 0; i < 100; ++i)
        wav.push_back(static_cast<uint8_t>(i + 1));
    const QString path = w.h.path(QStringLiteral("voice.wav"));
    QVERIFY(WriteBytes(path, wav));
    w.import(path);
    QCOMPARE(w.h.scripted.sound.stops, 1);
    QVERIFY(!w.h.scripted.sound.isPlaying());
    // What was playing is not touched by the import.
    QCOMPARE(static_cast<uint8_t>(w.h.scripted.sound.played[0][58]), w.image[kSample]);

    w.play();
    const QByteArray imported = w.h.scripted.sound.played[1];
    QCOMPARE(imported.size(), qsizetype(58 + kLength));
    QCOMPARE(static_cast<uint8_t>(imported[58]), uint8_t{15});
    QCOMPARE(static_cast<uint8_t>(imported[58 + 85]), uint8_t{100});
    QCOMPARE(static_cast<uint8_t>(imported[58 + 86]), uint8_t{0});
    QCOMPARE(static_cast<uint8_t>(imported[58 + kLength - 1]), uint8_t{0});
    // The ROM is only written by Save.
    QVERIFY(ReadBytes(w.rom) == w.image);
    w.window->SaveROM(w.rom);
    const Bytes saved = ReadBytes(w.rom);
    QVERIFY(std::equal(saved.begin() + kSample, saved.begin() + kSample + kLength, imported.begin() + 58,
                       [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }));
    QVERIFY(std::equal(saved.begin(), saved.begin() + kSample, w.image.begin()));
    QVERIFY(std::equal(saved.begin() + kSample + kLength, saved.end(), w.image.begin() + kSample + kLength));
}

void WavImporterTest::cancelledImportChangesNothing()
{
    WavWindow w;
    w.play();
    w.h.scripted.files.cancel();
    QTest::mouseClick(find<QWidget>(w.window, QStringLiteral("cmdImportWAV")), Qt::LeftButton);
    QCOMPARE(w.h.scripted.files.asked.size(), 1);
    QCOMPARE(w.h.scripted.files.asked[0].title, QStringLiteral("Select WAV File"));
    QCOMPARE(w.h.scripted.sound.stops, 0);
    w.play();
    QCOMPARE(w.h.scripted.sound.played[1], w.h.scripted.sound.played[0]);
    w.window->SaveROM(w.rom);
    QVERIFY(ReadBytes(w.rom) == w.image);
}

void WavImporterTest::restoreAndCloseStopOwnPlaybackOnly()
{
    WavWindow w;
    w.play();
    button(w.window, QStringLiteral("Restore"))->trigger();
    QCOMPARE(w.h.scripted.sound.stops, 1);

    // Another window's sound is not stopped when this one closes.
    const QString tpl = w.h.path(QStringLiteral("S2.ZORP"));
    QPointer<frmZorpII> other = w.h.open(tpl, w.rom);
    w.play();
    QTest::mouseClick(find<QWidget>(other, QStringLiteral("cmdPlay")), Qt::LeftButton);
    QCOMPARE(w.h.scripted.sound.played.size(), 3);
    QVERIFY(w.window->close());
    QCOMPARE(w.h.scripted.sound.stops, 1);
    QVERIFY(other->close());
    QCOMPARE(w.h.scripted.sound.stops, 2);
    flushDeletes();
}

QTEST_MAIN(WavImporterTest)
#include "WavImporterTest.moc"
