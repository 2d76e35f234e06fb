// Pictures of the workspace on a synthetic Sonic 3 style image with the
// shipped S3 template, one per editor frame. They are written to the folder
// named by ZORP_SCREENSHOT_DIR (docs/screenshots when refreshing the
// documentation), else to a temporary folder.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "WorkspaceFixture.h"
#include "audio/tests/SoundTestFiles.h"
#include "stage/SpecialStage.h"

#include <cmath>
#include <cstring>

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

const char* const kS3Names[] = {"ANGEL ISLAND",   "HYDROCITY",       "MARBLE GARDEN", "CARNIVAL NIGHT",
                                "FLYING BATTERY", "ICECAP",          "LAUNCH BASE",   "MUSHROOM VALLEY",
                                "SANDOPOLIS",     "2P VS",           "2P VS",         "2P VS",
                                "BONUS",          "SPECIAL STAGE",   "SOUND TEST  *"};

// "S3" codes for the characters the names use.
uint8_t S3Code(char c)
{
    if (c == ' ')
        return 0x00;
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(0x10 + c - '0');
    if (c == '*')
        return 0x1A;
    return static_cast<uint8_t>(0x1E + c - 'A');
}

Bytes SonicThreeImage()
{
    Bytes image = MakeGenesisImage(0x200000, "SONIC THE             HEDGEHOG 3", "GM MK-1079 -00");
    size_t at = 0x7016;
    for (const char* name : kS3Names) {
        const size_t length = std::strlen(name);
        image[at++] = static_cast<uint8_t>(length - 1);
        for (size_t i = 0; i < length; ++i)
            image[at++] = S3Code(name[i]);
    }
    const Bytes music = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
                         0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x17,
                         0x1A, 0x1A, 0x1C, 0x1C, 0x20, 0x20, 0x21, 0x21, 0x22, 0x22, 0x23, 0x23,
                         0x24, 0x24, 0x1E, 0x1E, 0x1D, 0x1D, 0x1E, 0x1E, 0x1C, 0x1C, 0x1C, 0x1C};
    Put(image, 0x4680, music);
    // Palettes: a blue-to-white ramp and a green ramp as Genesis words.
    for (size_t base : {size_t{0x8C234}, size_t{0x8C2F4}, size_t{0x8C314}, size_t{0x8C374}, size_t{0x8C594},
                        size_t{0x8C5F4}, size_t{0x8C754}, size_t{0x8C7B4}, size_t{0x8C894}, size_t{0x8C8F4},
                        size_t{0x8C9D4}, size_t{0x8CA34}}) {
        for (int i = 0; i < 48; ++i) {
            const int level = (i % 16) / 2; // 0..7
            const int b = 7, g = (i / 16 == 1) ? 7 : level, r = (i / 16 == 2) ? 7 - level : level;
            const uint16_t word = static_cast<uint16_t>((b << 9) | (g << 5) | (r << 1));
            image[base + 2 * i] = static_cast<uint8_t>(word >> 8);
            image[base + 2 * i + 1] = static_cast<uint8_t>(word & 0xFF);
        }
    }
    // Eight stages: rings of spheres around the middle.
    for (int k = 0; k < 8; ++k) {
        uint8_t* record = image.data() + 0x6A0E0 + 1032 * k;
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                const int dx = column - 16, dy = row - 16;
                const int d = dx * dx + dy * dy;
                uint8_t code = Empty;
                if (d % (40 + 8 * k) < 12)
                    code = Blue;
                else if ((row + column + k) % 11 == 0)
                    code = Red;
                else if (row % 8 == 4 && column % 8 == 4)
                    code = Star;
                else if (d < 10)
                    code = Ring;
                record[row * 32 + column] = code;
            }
        }
        const uint8_t props[8] = {0x00, 0, 16, 0, 20, 0, 0x00, static_cast<uint8_t>(64 + k)};
        std::copy(props, props + 8, record + 1024);
    }
    for (size_t i = 0; i < 24111; ++i)
        image[0xF8000 + i] = static_cast<uint8_t>(0x80 + 60.0 * std::sin(i / 9.0) * std::exp(-double(i) / 12000.0));
    return image;
}

} // namespace

class WorkspaceScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void everyFrame();
};

void WorkspaceScreenshotTest::everyFrame()
{
    const QString templatePath = QStringLiteral(ZORP_SOURCE_DIR "/data/S3.ZORP");
    if (!QFile::exists(templatePath))
        QSKIP("The shipped S3 template is not there.");
    Harness h;
    const QString rom = h.path(QStringLiteral("Sonic3.bin"));
    QVERIFY(WriteBytes(rom, SonicThreeImage()));
    QString folder = qEnvironmentVariable("ZORP_SCREENSHOT_DIR");
    if (folder.isEmpty())
        folder = h.path(QStringLiteral("shots"));
    QVERIFY(QDir().mkpath(folder));

    std::unique_ptr<frmZorpII> window(h.open(templatePath, rom));
    window->setWindowTitle(QStringLiteral("ZORP-II - Sonic3.bin"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(h.scripted.messages.asked.size(), 0);
    const QStringList keys{QStringLiteral("LvlSelect"), QStringLiteral("Playlist"), QStringLiteral("WavImporter"),
                           QStringLiteral("PalEdit"), QStringLiteral("S3S")};
    const QStringList files{QStringLiteral("levelselect"), QStringLiteral("playlist"), QStringLiteral("wav"),
                            QStringLiteral("palette"), QStringLiteral("specialstage")};
    for (int i = 0; i < keys.size(); ++i) {
        button(window.get(), keys[i])->trigger();
        if (keys[i] == QLatin1String("WavImporter")) {
            // An ordinary recording (44.1 kHz 16-bit stereo, 1.2 s): a voice-like
            // tone that swells and fades, converted and padded with silence.
            std::vector<double> voice(static_cast<size_t>(1.2 * 44100));
            for (size_t n = 0; n < voice.size(); ++n) {
                const double t = static_cast<double>(n) / 44100;
                voice[n] = std::sin(M_PI * t / 1.2) * std::sin(M_PI * t / 0.3) *
                           (0.6 * std::sin(2 * M_PI * 220 * t) + 0.3 * std::sin(2 * M_PI * 660 * t));
            }
            const QString sound = h.path(QStringLiteral("sega-voice.wav"));
            QVERIFY(WriteBytes(sound, soundtest::PcmWav(44100, 16, 2, voice)));
            h.scripted.files.choose(sound);
            QTest::mouseClick(find<QWidget>(window.get(), QStringLiteral("cmdImportWAV")), Qt::LeftButton);
            QCOMPARE(h.scripted.messages.asked.size(), 0);
        }
        if (keys[i] == QLatin1String("LvlSelect")) {
            auto* list = find<QTreeWidget>(window.get(), QStringLiteral("lstLevelSelect"));
            list->setCurrentItem(list->topLevelItem(2));
        }
        QCoreApplication::processEvents();
        const QImage shot = window->grab().toImage();
        QCOMPARE(shot.size(), window->size() * window->devicePixelRatio());
        QVERIFY(shot.save(folder + QStringLiteral("/workspace-") + files[i] + QStringLiteral(".png")));
    }
    // The image's header checksum is stale: the status bar says so.
    const QString status = find<QLabel>(window.get(), QStringLiteral("lblChecksumStatus"))->text();
    QVERIFY2(status.contains(QStringLiteral("red screen")), qPrintable(status));
    button(window.get(), QStringLiteral("Playlist"))->trigger();
    QCoreApplication::processEvents();
    QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/workspace-checksum.png")));
}

QTEST_MAIN(WorkspaceScreenshotTest)
#include "WorkspaceScreenshotTest.moc"
