// Saving a workspace: the end-to-end road on a synthetic Sonic 2 style image
// (level select name, playlist entry, imported WAV, exact bytes afterwards),
// Restore, and the files that cannot be written.
#include <QFile>
#include <cstring>
#include <QProcess>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <optional>

#include "WorkspaceFixture.h"
#include "template/WavSample.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kImageSize = 0x100000;
constexpr size_t kNames = 0x874A;     // three 12-character names, 1 byte apart
constexpr size_t kPlaylist = 0x3EA0;  // 18-byte block
constexpr size_t kSample = 0xF1E8C;   // 24948-byte sample
constexpr size_t kSampleLength = 24948;

const Bytes kMusicList = {0x82, 0x82, 0x85, 0x84, 0x85, 0x85, 0x8F, 0x86, 0x90,
                          0x8D, 0x84, 0x8B, 0x89, 0x8E, 0x8A, 0x87, 0x8D, 0x00};

Bytes SonicTwoImage()
{
    Bytes image = MakeGenesisImage(kImageSize, "SONIC THE             HEDGEHOG 2", "GM 00001051-01");
    Put(image, kNames - 1, {0x0B});
    Put(image, kNames, S3Codes("EMERALD HILL"));
    Put(image, kNames + 12, {0x0B});
    Put(image, kNames + 13, S3Codes(" MYSTIC CAVE"));
    Put(image, kNames + 25, {0x0B});
    Put(image, kNames + 26, S3Codes("CASINO NIGHT"));
    Put(image, kPlaylist, kMusicList);
    Bytes sample(kSampleLength);
    for (size_t i = 0; i < sample.size(); ++i)
        sample[i] = static_cast<uint8_t>(0x80 + ((i / 3) % 64) - 32);
    Put(image, kSample, sample);
    return image;
}

QStringList SonicTwoTemplate()
{
    return {QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE"),
            QStringLiteral("GAME: S2"),
            QStringLiteral("ZORP-II VERSION: 0.0.13"),
            QStringLiteral("LEVELSELECT"),
            QStringLiteral("LEVELS: 3"),
            QStringLiteral("LVLLENGTH: 12"),
            QStringLiteral("SEPARATOR: 1"),
            QStringLiteral("DECODETBL: S3"),
            QStringLiteral("STARTADDR: 0x874A"),
            QStringLiteral("ENDFRAME"),
            QStringLiteral("PLAYLIST"),
            QStringLiteral("STARTADDR: 0x3EA0"),
            QStringLiteral("MINSONG: 0x01"),
            QStringLiteral("MAXSONG: 0x1F"),
            QStringLiteral("ADDVALTOROM: 0x80"),
            QStringLiteral("PLAYLISTSIZE: 18"),
            QStringLiteral("PLAYLISTS: 3"),
            QStringLiteral("SONG: Emerald Hill: 0"),
            QStringLiteral("SONG: Metropolis: 4"),
            QStringLiteral("SONG: Chemical Plant: 0x0D"),
            QStringLiteral("ENDFRAME"),
            QStringLiteral("WAVIMPORTER"),
            QStringLiteral("STARTADDR: 0xF1E8C"),
            QStringLiteral("WAVLENGTH: 24948"),
            QStringLiteral("FREQUENCY: 16500"),
            QStringLiteral("ENDFRAME")};
}

// Types text into row `row` of the level select list through its editor and
// commits it with Return, as the user does.
void EditName(QTreeWidget* list, int row, const QString& text)
{
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->setCurrentItem(item);
    list->editItem(item, 0);
    auto* editor = qobject_cast<QLineEdit*>(list->itemWidget(item, 0));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the edit from its event loop.
    QCoreApplication::processEvents();
}

// Makes a file unwritable for the test: read-only permissions, and where
// they do not bind (the tests run as root) the file system's immutable flag.
class WriteProtection {
public:
    explicit WriteProtection(const QString& path) : path_(path)
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (!writable())
            return;
        immutable_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~WriteProtection() { lift(); }
    bool active() const { return !writable(); }
    void lift()
    {
        if (immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
        immutable_ = false;
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    bool writable() const
    {
        QFile probe(path_);
        return probe.open(QIODevice::ReadWrite);
    }
    QString path_;
    bool immutable_ = false;
};

void ClickUpArrow(QScrollBar* bar) { QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3)); }

} // namespace

class WorkspaceSaveTest : public QObject {
    Q_OBJECT

private slots:
    void editsAreSavedAsExactBytes();
    void restoreDropsEditsWithoutAsking();
    void openNameEditIsSavedOrDropped_data();
    void openNameEditIsSavedOrDropped();
    void caseKeepingTableKeepsLowerCase();
    void unknownDecodeTableWritesNoNames();
    void unwritableFileIsRefused_data();
    void unwritableFileIsRefused();
};

void WorkspaceSaveTest::editsAreSavedAsExactBytes()
{
    Harness h;
    const Bytes original = SonicTwoImage();
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("S2.ZORP"));
    QVERIFY(WriteBytes(rom, original));
    QVERIFY(WriteTemplate(tpl, SonicTwoTemplate()));

    QPointer<frmZorpII> window = h.open(tpl, rom);
    window->show();
    auto* list = find<QTreeWidget>(window, QStringLiteral("lstLevelSelect"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("EMERALD HILL"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral(" MYSTIC CAVE"));

    // A name typed in lower case is upper-cased and padded to 12 characters.
    button(window, QStringLiteral("LvlSelect"))->trigger();
    EditName(list, 0, QStringLiteral("green hill"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("GREEN HILL  "));
    // An overlong one is cut.
    EditName(list, 2, QStringLiteral("CHEMICAL PLANT ZONE"));
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("CHEMICAL PLA"));

    // Metropolis (byte 0x85 = song 05): one click on the up arrow gives 06.
    button(window, QStringLiteral("Playlist"))->trigger();
    auto* bar = find<QScrollBar>(window, QStringLiteral("vscPlaylist_1"));
    auto* text = find<QLineEdit>(window, QStringLiteral("txtPlaylist_1"));
    QCOMPARE(text->text(), QStringLiteral("05"));
    ClickUpArrow(bar);
    QCOMPARE(text->text(), QStringLiteral("06"));

    // A WAV file in the game's own layout (8-bit mono at 16500 Hz) with fewer
    // samples than the ROM holds: its bytes as they are, the rest silence.
    Bytes samples(1000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(i * 13);
    const Bytes wav = BuildWavPreview(samples, 16500);
    const QString wavPath = h.path(QStringLiteral("sega.wav"));
    QVERIFY(WriteBytes(wavPath, wav));
    button(window, QStringLiteral("WavImporter"))->trigger();
    h.scripted.files.choose(wavPath);
    QTest::mouseClick(find<QWidget>(window, QStringLiteral("cmdImportWAV")), Qt::LeftButton);
    QCOMPARE(h.scripted.files.asked.size(), 1);
    QCOMPARE(h.scripted.files.asked[0].title, QStringLiteral("Select WAV File"));
    QVERIFY(h.scripted.files.asked[0].filter.startsWith(QStringLiteral("WAV Files (*.WAV)|*.WAV|")));
    // Nothing is written before Save.
    QCOMPARE(ReadBytes(rom), original);

    button(window, QStringLiteral("Save"))->trigger();
    QCOMPARE(h.scripted.messages.asked.size(), 0);

    Bytes expected = original;
    Put(expected, kNames, S3Codes("GREEN HILL  "));
    Put(expected, kNames + 26, S3Codes("CHEMICAL PLA"));
    expected[kPlaylist + 4] = 0x86;
    Bytes newSample(kSampleLength, 0x80);
    std::copy(samples.begin(), samples.end(), newSample.begin());
    Put(expected, kSample, newSample);
    const Bytes saved = ReadBytes(rom);
    QCOMPARE(saved.size(), original.size());
    QCOMPARE(StoredChecksumWord(saved), StoredChecksumWord(original));
    QVERIFY(saved == expected);
    // Saving again without edits writes the same bytes.
    window->SaveROM(rom);
    QVERIFY(ReadBytes(rom) == expected);
    window->close();
}

void WorkspaceSaveTest::restoreDropsEditsWithoutAsking()
{
    Harness h;
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("S2.ZORP"));
    QVERIFY(WriteBytes(rom, SonicTwoImage()));
    QVERIFY(WriteTemplate(tpl, SonicTwoTemplate()));
    QPointer<frmZorpII> window = h.open(tpl, rom);
    window->show();
    auto* list = find<QTreeWidget>(window, QStringLiteral("lstLevelSelect"));
    EditName(list, 1, QStringLiteral("SKY CHASE"));
    auto* bar = find<QScrollBar>(window, QStringLiteral("vscPlaylist_0"));
    button(window, QStringLiteral("Playlist"))->trigger();
    ClickUpArrow(bar);
    QCOMPARE(find<QLineEdit>(window, QStringLiteral("txtPlaylist_0"))->text(), QStringLiteral("03"));

    // The file changed behind the window's back: Restore shows the file.
    Bytes changed = SonicTwoImage();
    Put(changed, kNames, S3Codes("AQUATIC RUIN"));
    QVERIFY(WriteBytes(rom, changed));
    button(window, QStringLiteral("Restore"))->trigger();
    QCOMPARE(h.scripted.messages.asked.size(), 0);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("AQUATIC RUIN"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral(" MYSTIC CAVE"));
    QCOMPARE(find<QLineEdit>(window, QStringLiteral("txtPlaylist_0"))->text(), QStringLiteral("02"));
    delete window;
}

void WorkspaceSaveTest::openNameEditIsSavedOrDropped_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown"); // row 0 afterwards
    QTest::newRow("Save takes the name in the edit box") << QStringLiteral("Save") << QStringLiteral("WOOD ZONE   ");
    QTest::newRow("Restore drops it") << QStringLiteral("Restore") << QStringLiteral("EMERALD HILL");
}

void WorkspaceSaveTest::openNameEditIsSavedOrDropped()
{
    QFETCH(QString, key);
    QFETCH(QString, shown);
    Harness h;
    const Bytes original = SonicTwoImage();
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("S2.ZORP"));
    QVERIFY(WriteBytes(rom, original));
    QVERIFY(WriteTemplate(tpl, SonicTwoTemplate()));
    std::unique_ptr<frmZorpII> window(h.open(tpl, rom));
    window->show();
    auto* list = find<QTreeWidget>(window.get(), QStringLiteral("lstLevelSelect"));
    QTreeWidgetItem* item = list->topLevelItem(0);
    list->editItem(item, 0);
    auto* editor = qobject_cast<QLineEdit*>(list->itemWidget(item, 0));
    QVERIFY(editor);
    editor->setText(QStringLiteral("wood zone"));

    // The tool bar button is pressed while the edit box is still open.
    button(window.get(), key)->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!list->itemWidget(item, 0));
    QCOMPARE(item->text(0), shown);
    QCOMPARE(window->HasUnsavedEdits(), false);
    // A later save writes what the list shows.
    window->SaveROM(rom);
    Bytes expected = original;
    Put(expected, kNames, S3Codes(ToBytes(shown)));
    QVERIFY(ReadBytes(rom) == expected);
    QCOMPARE(h.scripted.messages.asked.size(), 0);
}

// A template with one level select block over the names at kNames.
QStringList NamesTemplate(const QString& table)
{
    return {QStringLiteral("LEVELSELECT"), QStringLiteral("LEVELS: 2"),      QStringLiteral("LVLLENGTH: 12"),
            QStringLiteral("SEPARATOR: 1"), QStringLiteral("DECODETBL: ") + table,
            QStringLiteral("STARTADDR: 0x874A"), QStringLiteral("ENDFRAME")};
}

Bytes Ascii(const char* text) { return Bytes(text, text + std::strlen(text)); }

void WorkspaceSaveTest::caseKeepingTableKeepsLowerCase()
{
    Harness h;
    Bytes original = SonicTwoImage();
    Put(original, kNames, Ascii("Emerald Hill"));
    Put(original, kNames + 13, Ascii("Mystic Cave "));
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("names.ZORP"));
    QVERIFY(WriteBytes(rom, original));
    QVERIFY(WriteTemplate(tpl, NamesTemplate(QStringLiteral("C++"))));
    QPointer<frmZorpII> window = h.open(tpl, rom);
    window->show();
    QVERIFY(window->DecodeTableIsCpp());
    auto* list = find<QTreeWidget>(window, QStringLiteral("lstLevelSelect"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Emerald Hill"));
    EditName(list, 1, QStringLiteral("Sky Chase"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Sky Chase   "));
    window->SaveROM(rom);
    Bytes expected = original;
    Put(expected, kNames + 13, Ascii("Sky Chase   "));
    QVERIFY(ReadBytes(rom) == expected);
    delete window;
}

void WorkspaceSaveTest::unknownDecodeTableWritesNoNames()
{
    // The template reader refuses the block: no level select, nothing written.
    Harness h;
    const Bytes original = SonicTwoImage();
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("names.ZORP"));
    QVERIFY(WriteBytes(rom, original));
    QVERIFY(WriteTemplate(tpl, NamesTemplate(QStringLiteral("S9"))));
    QPointer<frmZorpII> window = h.open(tpl, rom);
    QCOMPARE(h.scripted.messages.asked.size(), 1);
    QCOMPARE(h.scripted.messages.asked[0].icon, Icon::Critical);
    QVERIFY(h.scripted.messages.asked[0].text.contains(QStringLiteral("S9")));
    QVERIFY(!button(window, QStringLiteral("LvlSelect"))->isVisible());
    QCOMPARE(find<QTreeWidget>(window, QStringLiteral("lstLevelSelect"))->topLevelItemCount(), 0);
    window->SaveROM(rom);
    QVERIFY(ReadBytes(rom) == original);
    delete window;
}

void WorkspaceSaveTest::unwritableFileIsRefused_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only") << QStringLiteral("protect") << QStringLiteral("cannot be opened for writing");
    QTest::newRow("length changed") << QStringLiteral("grow") << QStringLiteral("length changed");
    QTest::newRow("missing") << QStringLiteral("remove") << QStringLiteral("does not exist");
}

void WorkspaceSaveTest::unwritableFileIsRefused()
{
    QFETCH(QString, change);
    QFETCH(QString, reason);
    Harness h;
    Bytes original = SonicTwoImage();
    const QString rom = h.path(QStringLiteral("s2.bin"));
    const QString tpl = h.path(QStringLiteral("S2.ZORP"));
    QVERIFY(WriteBytes(rom, original));
    QVERIFY(WriteTemplate(tpl, SonicTwoTemplate()));
    std::unique_ptr<frmZorpII> window(h.open(tpl, rom));
    window->show();
    EditName(find<QTreeWidget>(window.get(), QStringLiteral("lstLevelSelect")), 0, QStringLiteral("WOOD"));

    // What happened to the file after it was loaded.
    std::optional<WriteProtection> protection;
    if (change == QLatin1String("protect")) {
        protection.emplace(rom);
        if (!protection->active())
            QSKIP("Neither file permissions nor the immutable flag stop this user from writing.");
    } else if (change == QLatin1String("grow")) {
        original.resize(original.size() + 512, 0xFF);
        QVERIFY(WriteBytes(rom, original));
    } else {
        QVERIFY(QFile::remove(rom));
    }
    button(window.get(), QStringLiteral("Save"))->trigger();
    if (protection)
        protection->lift();

    QCOMPARE(h.scripted.messages.asked.size(), 1);
    const MessageRequest& m = h.scripted.messages.asked[0];
    QCOMPARE(m.title, QStringLiteral("Cannot Save ROM"));
    QCOMPARE(m.icon, Icon::Critical);
    QVERIFY(m.text.startsWith(rom + QLatin1Char('\n')));
    QVERIFY2(m.text.contains(reason), qPrintable(m.text));
    if (change == QLatin1String("remove"))
        QVERIFY(!QFile::exists(rom));
    else
        QVERIFY(ReadBytes(rom) == original);

    // After Restore the window knows the new length and saves again.
    if (change == QLatin1String("grow")) {
        button(window.get(), QStringLiteral("Restore"))->trigger();
        window->SaveROM(rom);
        QCOMPARE(h.scripted.messages.asked.size(), 1);
        QVERIFY(ReadBytes(rom) == original);
    }
}

QTEST_MAIN(WorkspaceSaveTest)
#include "WorkspaceSaveTest.moc"
