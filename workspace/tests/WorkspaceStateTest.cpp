// The workspace's state after saves and loads that went only partly well:
// edits that were not written keep counting as unsaved, the read-only state
// and the Save button never disagree, a file too large for a cartridge says
// so, and a playlist whose template leaves slots unfilled stays editable.
#include <QFile>
#include <QTest>

#include "LevelSelectFrame.h"
#include "PlaylistFrame.h"
#include "WavImporterFrame.h"
#include "WorkspaceFixture.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

const QString kHeader = QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE");
constexpr size_t kImageSize = 0x1000;

Bytes SonicImage() { return MakeGenesisImage(kImageSize, "SONIC THE               HEDGEHOG", "GM 00001009-00"); }

QStringList Template(const QStringList& blocks)
{
    return QStringList{kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 0.0.14")} + blocks;
}

} // namespace

class WorkspaceStateTest : public QObject {
    Q_OBJECT

private slots:
    // Level names, playlist and sample that lie past the end of the file are
    // not written, so they stay unsaved: closing would still ask about them.
    void partlySavedEditsStayUnsaved()
    {
        Harness h;
        QVERIFY(WriteTemplate(h.path("T.ZORP"),
                              Template({"LEVELSELECT", "STARTADDR: 0x2000", "DECODETBL: S1", "LEVELS: 1",
                                        "LVLLENGTH: 4", "ENDFRAME", "PLAYLIST", "STARTADDR: 0x3000", "MINSONG: 1",
                                        "MAXSONG: 0x1F", "ADDVALTOROM: 0x80", "PLAYLISTSIZE: 4", "PLAYLISTS: 1",
                                        "SONG: Zone: 0", "ENDFRAME", "WAVIMPORTER", "STARTADDR: 0x4000",
                                        "WAVLENGTH: 16", "ENDFRAME"})));
        QVERIFY(WriteBytes(h.path("rom.bin"), SonicImage()));
        for (int i = 0; i < 8; ++i)
            h.scripted.messages.answer(Answer::Ok); // every note about parts past the end
        QPointer<frmZorpII> window = h.open(h.path("T.ZORP"), h.path("rom.bin"));
        auto* levels = window->findChild<LevelSelectFrame*>();
        auto* playlist = window->findChild<PlaylistFrame*>();
        auto* wav = window->findChild<WavImporterFrame*>();
        QVERIFY(levels && playlist && wav);
        QVERIFY(levels->active() && playlist->active() && wav->active());
        levels->SetModified(true);
        playlist->SetModified(true);
        wav->SetModified(true);
        const int before = h.scripted.messages.asked.size();
        QVERIFY(window->SaveROM(h.path("rom.bin")));
        QStringList titles;
        for (int i = before; i < h.scripted.messages.asked.size(); ++i)
            titles << h.scripted.messages.asked[i].title;
        QVERIFY2(titles.contains("Not Saved"), qPrintable(titles.join(", ")));
        QVERIFY(levels->Modified());
        QVERIFY(playlist->Modified());
        QVERIFY(wav->Modified());
        QVERIFY(window->HasUnsavedEdits());
        QCOMPARE(ReadBytes(h.path("rom.bin")), SonicImage());
        delete window;
    }

    // A template change resets the read-only state through the same road
    // that enables Save, even when the ROM then cannot be read.
    void readOnlyStateAndSaveButtonAgreeAfterAFailedLoad()
    {
        Harness h;
        const QStringList palette = {"PALEDIT", "Zone: 0x300: 4", "ENDFRAME"};
        QVERIFY(WriteTemplate(h.path("Other.ZORP"),
                              Template(QStringList{"FITS", "TEXT: 0x180: GM 99999999-00", "ENDFRAME"} + palette)));
        QVERIFY(WriteTemplate(h.path("Fits.ZORP"), Template(palette)));
        QVERIFY(WriteBytes(h.path("rom.bin"), SonicImage()));
        h.scripted.messages.answer(Answer::Yes); // open it read-only
        QPointer<frmZorpII> window = h.open(h.path("Other.ZORP"), h.path("rom.bin"));
        QVERIFY(window->readOnly());
        QVERIFY(!button(window, "Save")->isEnabled());

        QVERIFY(QFile::remove(h.path("rom.bin")));
        window->setTemplateFile(h.path("Fits.ZORP"));
        QCOMPARE(window->LoadFrames(), TemplateRefusal::None);
        h.scripted.messages.answer(Answer::Ok); // the file is gone
        h.scripted.messages.answer(Answer::Ok);
        window->LoadROM(h.path("rom.bin"));
        QVERIFY(!window->readOnly());
        QVERIFY(button(window, "Save")->isEnabled());
        QVERIFY(button(window, "FixChecksum")->isEnabled());
        delete window;
    }

    void fileTooLargeForACartridgeSaysSo()
    {
        Harness h;
        QVERIFY(WriteTemplate(h.path("T.ZORP"), Template({"PALEDIT", "Zone: 0x300: 4", "ENDFRAME"})));
        QFile big(h.path("big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize((qint64(64) << 20) + 1)); // sparse: takes no room on disk
        big.close();
        h.scripted.messages.answer(Answer::Ok);
        h.scripted.messages.answer(Answer::Ok);
        QPointer<frmZorpII> window = h.open(h.path("T.ZORP"), h.path("big.bin"));
        QVERIFY(!h.scripted.messages.asked.isEmpty());
        const MessageRequest& box = h.scripted.messages.asked.first();
        QCOMPARE(box.title, QString("Cannot Read ROM"));
        QVERIFY2(box.text.contains("larger than 64 MB, too large to be a cartridge image"), qPrintable(box.text));
        QVERIFY(!box.text.contains("does not exist"));
        delete window;
    }

    // Unfilled slots are left out with one warning; the filled ones are edited as usual.
    void playlistWithUnfilledSlotsStaysEditable()
    {
        Harness h;
        QVERIFY(WriteTemplate(h.path("T.ZORP"),
                              Template({"PLAYLIST", "STARTADDR: 0x300", "MINSONG: 1", "MAXSONG: 0x1F",
                                        "ADDVALTOROM: 0x80", "PLAYLISTSIZE: 4", "PLAYLISTS: 4", "SONG: Green Hill: 0",
                                        "SONG: Marble: 2", "ENDFRAME"})));
        QVERIFY(WriteBytes(h.path("rom.bin"), SonicImage()));
        h.scripted.messages.answer(Answer::Ok);
        QPointer<frmZorpII> window = h.open(h.path("T.ZORP"), h.path("rom.bin"));
        QCOMPARE(h.scripted.messages.asked.size(), 1);
        QCOMPARE(h.scripted.messages.asked[0].title, QString("Playlist Slots Left Out"));
        auto* playlist = window->findChild<PlaylistFrame*>();
        QVERIFY(playlist->active());
        QCOMPARE(playlist->rowCount(), 2);
        QVERIFY(button(window, "Playlist")->isVisible());
        delete window;
    }
};

QTEST_MAIN(WorkspaceStateTest)
#include "WorkspaceStateTest.moc"
