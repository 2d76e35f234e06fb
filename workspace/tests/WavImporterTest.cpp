// The WAV importer: the preview image played from memory through the sound
// output, imports converted to the game's format (with the cut question for a
// long sound and a message for a broken file), the waveform and length line,
// WAV export, and playback stopped before the image it plays is replaced or
// its window closes.
#include <QLabel>
#include <QTest>

#include "WaveformView.h"
#include "WorkspaceFixture.h"
#include "audio/WavWriter.h"
#include "audio/tests/SoundTestFiles.h"

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
    void importConvertsAndStopsPlayback();
    void longSoundIsCutOnlyWhenTheUserAgrees();
    void brokenFileGivesAMessage();
    void exportWritesAPlainWav();
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

void WavImporterTest::importConvertsAndStopsPlayback()
{
    WavWindow w;
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavLength"))->text(),
             QStringLiteral("Sound 0.18 s of 0.18 s room, 0.00 s left"));
    w.play();
    // An ordinary recording, 0.1 s of 44.1 kHz 16-bit stereo: 1650 samples at
    // 16500 Hz, the rest of the 3000 padded with silence.
    const QString path = w.h.path(QStringLiteral("voice.wav"));
    QVERIFY(WriteBytes(path, soundtest::PcmWav(44100, 16, 2, soundtest::Sine(1000, 44100, 0.1))));
    w.import(path);
    QCOMPARE(w.h.scripted.files.asked.last().filter,
             QStringLiteral("WAV Files (*.WAV)|*.WAV|AIFF Files (*.AIF;*.AIFF)|*.AIF;*.AIFF|FLAC Files (*.FLAC)|*.FLAC|"
                            "Ogg Vorbis Files (*.OGG)|*.OGG|All Sound Files|*.WAV;*.AIF;*.AIFF;*.FLAC;*.OGG"));
    QCOMPARE(w.h.scripted.messages.asked.size(), 0);
    QCOMPARE(w.h.scripted.sound.stops, 1);
    QVERIFY(!w.h.scripted.sound.isPlaying());
    // What was playing is not touched by the import.
    QCOMPARE(static_cast<uint8_t>(w.h.scripted.sound.played[0][58]), w.image[kSample]);
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavSource"))->text(),
             QStringLiteral("Current sound: imported from voice.wav (not saved yet): converted from 44100 Hz 16-bit "
                            "stereo, 0.10 s, padded with silence to 0.18 s."));
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavLength"))->text(),
             QStringLiteral("Sound 0.10 s of 0.18 s room, 0.08 s left"));

    w.play();
    const QByteArray imported = w.h.scripted.sound.played[1];
    QCOMPARE(imported.size(), qsizetype(58 + kLength));
    const Bytes samples(imported.begin() + 58, imported.end());
    QVERIFY(std::abs(soundtest::MeasuredHertz(samples, 16500, 100, 1550) - 1000) < 20);
    QVERIFY(std::all_of(samples.begin() + 1650, samples.end(), [](uint8_t b) { return b == 0x80; }));
    const auto* waveform = find<WaveformView>(w.window, QStringLiteral("picWaveform"));
    QVERIFY(waveform->samples() == samples);
    QCOMPARE(waveform->used(), size_t{1650});

    // The ROM is only written by Save.
    QVERIFY(ReadBytes(w.rom) == w.image);
    w.window->SaveROM(w.rom);
    const Bytes saved = ReadBytes(w.rom);
    QVERIFY(std::equal(samples.begin(), samples.end(), saved.begin() + kSample));
    QVERIFY(std::equal(saved.begin(), saved.begin() + kSample, w.image.begin()));
    QVERIFY(std::equal(saved.begin() + kSample + kLength, saved.end(), w.image.begin() + kSample + kLength));
}

void WavImporterTest::longSoundIsCutOnlyWhenTheUserAgrees()
{
    WavWindow w;
    const QString path = w.h.path(QStringLiteral("long.wav"));
    QVERIFY(WriteBytes(path, soundtest::PcmWav(22050, 8, 1, soundtest::Sine(500, 22050, 0.5))));
    const MessageRequest question{QStringLiteral("Sound Too Long"),
                                  QStringLiteral("The sound lasts 0.50 s; the game has room for 0.18 s.\n"
                                                 "Cut it to its first 0.18 s?"),
                                  Icon::Question, Buttons::YesNo};
    w.h.scripted.messages.answer(Answer::No);
    w.import(path);
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    QCOMPARE(w.h.scripted.messages.asked[0].title, question.title);
    QCOMPARE(w.h.scripted.messages.asked[0].text, question.text);
    QCOMPARE(w.h.scripted.messages.asked[0].icon, question.icon);
    QCOMPARE(w.h.scripted.messages.asked[0].buttons, question.buttons);
    w.play();
    QVERIFY(std::equal(w.h.scripted.sound.played[0].begin() + 58, w.h.scripted.sound.played[0].end(),
                       w.image.begin() + kSample, [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));

    w.h.scripted.messages.answer(Answer::Yes);
    w.import(path);
    QVERIFY(find<QLabel>(w.window, QStringLiteral("lblWavSource"))->text().endsWith(
        QStringLiteral("converted from 22050 Hz 8-bit mono, 0.50 s, cut to 0.18 s of room.")));
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavLength"))->text(),
             QStringLiteral("Sound 0.18 s of 0.18 s room, 0.00 s left"));
}

void WavImporterTest::brokenFileGivesAMessage()
{
    WavWindow w;
    Bytes broken = soundtest::PcmWav(44100, 16, 2, soundtest::Sine(440, 44100, 0.1));
    broken.resize(30); // cut inside the format chunk
    const QString path = w.h.path(QStringLiteral("broken.wav"));
    QVERIFY(WriteBytes(path, broken));
    w.import(path);
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    const MessageRequest shown = w.h.scripted.messages.asked[0];
    QCOMPARE(shown.title, QStringLiteral("Cannot Import Sound"));
    QVERIFY(shown.text.startsWith(path + QStringLiteral("\nThe file is not a sound file that can be read")));
    QCOMPARE(shown.icon, Icon::Critical);
    QCOMPARE(shown.buttons, Buttons::Ok);
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblWavSource"))->text(),
             QStringLiteral("Current sound: the ROM's own sample."));
}

void WavImporterTest::exportWritesAPlainWav()
{
    WavWindow w;
    const QString path = w.h.path(QStringLiteral("sega.wav"));
    w.h.scripted.files.choose(path);
    QTest::mouseClick(find<QWidget>(w.window, QStringLiteral("cmdExportWAV")), Qt::LeftButton);
    QCOMPARE(w.h.scripted.files.asked.last().title, QStringLiteral("Export WAV"));
    QVERIFY(w.h.scripted.files.asked.last().confirmOverwrite);
    const Bytes romSample(w.image.begin() + kSample, w.image.begin() + kSample + kLength);
    QVERIFY(ReadBytes(path) == BuildPlainWav(romSample, 16500));
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
