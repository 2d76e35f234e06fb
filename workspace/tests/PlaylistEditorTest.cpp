// The sound test playlist editor: scroll bars whose up arrow raises the song
// number, two-digit hex text, clamped stored values marked, rows 22 pixels
// apart on a panel that scrolls, and the block written back.
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "WorkspaceFixture.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kBlock = 0x4000;

QStringList Playlist(int slotCount, const QString& addValue = QStringLiteral("0x80"))
{
    QStringList lines{QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE"),
                      QStringLiteral("GAME: S2"),
                      QStringLiteral("ZORP-II VERSION: 0.0.13"),
                      QStringLiteral("PLAYLIST"),
                      QStringLiteral("STARTADDR: 0x4000"),
                      QStringLiteral("MINSONG: 0x01"),
                      QStringLiteral("MAXSONG: 0x1F"),
                      QStringLiteral("ADDVALTOROM: ") + addValue,
                      QStringLiteral("PLAYLISTSIZE: 32"),
                      QStringLiteral("PLAYLISTS: %1").arg(slotCount)};
    for (int i = 0; i < slotCount; ++i)
        lines << QStringLiteral("SONG: Zone %1: %2").arg(i + 1).arg(i);
    lines << QStringLiteral("ENDFRAME");
    return lines;
}

struct PlaylistWindow {
    Harness h;
    QString rom;
    Bytes image;
    QPointer<frmZorpII> window;

    PlaylistWindow(const QStringList& lines, const Bytes& block)
    {
        image = MakeGenesisImage(0x8000, "SONIC THE             HEDGEHOG 2", "GM 00001051-01");
        Put(image, kBlock, block);
        rom = h.path(QStringLiteral("s2.bin"));
        const QString tpl = h.path(QStringLiteral("S2.ZORP"));
        WriteBytes(rom, image);
        WriteTemplate(tpl, lines);
        window = h.open(tpl, rom);
        window->show();
    }
    ~PlaylistWindow() { delete window.data(); }

    QScrollBar* bar(int row) const { return find<QScrollBar>(window, QStringLiteral("vscPlaylist_%1").arg(row)); }
    QString text(int row) const { return find<QLineEdit>(window, QStringLiteral("txtPlaylist_%1").arg(row))->text(); }
    QLabel* warning(int row) const { return find<QLabel>(window, QStringLiteral("imgPlaylistWarning_%1").arg(row)); }
};

void ClickArrow(QScrollBar* bar, bool up)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, up ? 2 : bar->height() - 3));
}

Bytes Block(std::initializer_list<uint8_t> first)
{
    Bytes block(32, 0x80 + 0x10);
    std::copy(first.begin(), first.end(), block.begin());
    return block;
}

} // namespace

class PlaylistEditorTest : public QObject {
    Q_OBJECT

private slots:
    void upArrowRaisesDownArrowLowers();
    void keyboardAndWheelFollowTheArrows();
    void storedValuesOutsideTheRangeAreClampedAndMarked();
    void rowsAreLaidOutOnAScrollingPanel();
    void savedBlockKeepsUnnamedBytes();
};

void PlaylistEditorTest::upArrowRaisesDownArrowLowers()
{
    // Stored byte - 0x80 is the song, shown as two hex digits.
    PlaylistWindow w(Playlist(3), Block({0x85, 0x9F, 0x81}));
    QCOMPARE(w.text(0), QStringLiteral("05"));
    QCOMPARE(find<QLabel>(w.window, QStringLiteral("lblPlaylist_1"))->text(), QStringLiteral("Zone 2"));
    QVERIFY(!w.warning(0)->isVisible());
    ClickArrow(w.bar(0), true);
    QCOMPARE(w.text(0), QStringLiteral("06"));
    ClickArrow(w.bar(0), true);
    QCOMPARE(w.text(0), QStringLiteral("07"));
    ClickArrow(w.bar(0), false);
    QCOMPARE(w.text(0), QStringLiteral("06"));
    // Only the clicked row changes; the range ends hold.
    QCOMPARE(w.text(1), QStringLiteral("1F"));
    ClickArrow(w.bar(1), true);
    QCOMPARE(w.text(1), QStringLiteral("1F"));
    ClickArrow(w.bar(2), false);
    QCOMPARE(w.text(2), QStringLiteral("01"));
    // The upper end of the bar is the highest song.
    w.bar(2)->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(w.text(2), QStringLiteral("1F"));
}

void PlaylistEditorTest::keyboardAndWheelFollowTheArrows()
{
    PlaylistWindow w(Playlist(1), Block({0x8A}));
    QScrollBar* bar = w.bar(0);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Up);
    QCOMPARE(w.text(0), QStringLiteral("0B"));
    QTest::keyClick(bar, Qt::Key_Down);
    QCOMPARE(w.text(0), QStringLiteral("0A"));
    const QPointF centre(bar->width() / 2.0, bar->height() / 2.0);
    QWheelEvent up(centre, bar->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(bar, &up);
    QVERIFY(w.text(0) > QStringLiteral("0A"));
}

void PlaylistEditorTest::storedValuesOutsideTheRangeAreClampedAndMarked()
{
    // 0xB0 - 0x80 = 0x30 is above 0x1F; 0x10 - 0x80 is below 1.
    PlaylistWindow w(Playlist(3), Block({0xB0, 0x10, 0x85}));
    QCOMPARE(w.text(0), QStringLiteral("1F"));
    QCOMPARE(w.text(1), QStringLiteral("01"));
    QVERIFY(w.warning(0)->isVisible());
    QVERIFY(w.warning(1)->isVisible());
    QVERIFY(!w.warning(2)->isVisible());
    QCOMPARE(w.warning(0)->toolTip(), QStringLiteral("Stored value 0xB0 was outside 01..1F; shown as 1F."));
    QCOMPARE(w.warning(1)->toolTip(), QStringLiteral("Stored value 0x10 was outside 01..1F; shown as 01."));
    QCOMPARE(find<QLineEdit>(w.window, QStringLiteral("txtPlaylist_0"))->toolTip(), w.warning(0)->toolTip());

    // Choosing a value clears the mark; saving stores what the rows show.
    ClickArrow(w.bar(1), true);
    QVERIFY(!w.warning(1)->isVisible());
    QVERIFY(w.warning(0)->isVisible());
    w.window->SaveROM(w.rom);
    const Bytes saved = ReadBytes(w.rom);
    QCOMPARE(saved[kBlock], uint8_t{0x9F});
    QCOMPARE(saved[kBlock + 1], uint8_t{0x82});
    QCOMPARE(saved[kBlock + 2], uint8_t{0x85});

    // Restore reads the file again: nothing is outside the range any more.
    button(w.window, QStringLiteral("Restore"))->trigger();
    QVERIFY(!w.warning(0)->isVisible());
}

void PlaylistEditorTest::rowsAreLaidOutOnAScrollingPanel()
{
    PlaylistWindow w(Playlist(20), Block({}));
    QWidget* panel = find<QWidget>(w.window, QStringLiteral("picPlaylistScroll"));
    auto* scroll = find<QScrollBar>(w.window, QStringLiteral("vscPlaylistScroll"));
    for (int i : {0, 1, 19}) {
        QCOMPARE(find<QWidget>(w.window, QStringLiteral("txtPlaylist_%1").arg(i))->y(), 22 * i);
        QCOMPARE(w.bar(i)->y(), 22 * i);
        QCOMPARE(w.bar(i)->parentWidget(), panel);
    }
    QLabel* last = find<QLabel>(w.window, QStringLiteral("lblPlaylist_19"));
    QCOMPARE(panel->height(), last->geometry().bottom() + 1);
    const int viewHeight = panel->parentWidget()->height();
    QVERIFY(panel->height() > viewHeight);
    QVERIFY(scroll->isEnabled());
    QCOMPARE(scroll->maximum(), panel->height() - viewHeight);
    scroll->setValue(scroll->maximum());
    QCOMPARE(panel->y(), -scroll->maximum());
    QCOMPARE(last->mapTo(panel->parentWidget(), QPoint(0, last->height())).y(), viewHeight);

    // Five rows fit: the outer scroll bar stays off.
    PlaylistWindow few(Playlist(5), Block({}));
    QVERIFY(!find<QScrollBar>(few.window, QStringLiteral("vscPlaylistScroll"))->isEnabled());
}

void PlaylistEditorTest::savedBlockKeepsUnnamedBytes()
{
    // Two slots on the same byte: the later one wins.
    QStringList lines = Playlist(3, QStringLiteral("0"));
    lines.replace(lines.indexOf(QStringLiteral("SONG: Zone 3: 2")), QStringLiteral("SONG: Zone 3: 0"));
    Bytes block(32);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(0x40 + i);
    block[0] = 0x05;
    block[1] = 0x06;
    PlaylistWindow w(lines, block);
    ClickArrow(w.bar(0), true);
    ClickArrow(w.bar(2), false);
    w.window->SaveROM(w.rom);
    Bytes expected = w.image;
    expected[kBlock] = 0x04; // row 2 (stored 0x05, lowered) overwrote row 0
    QVERIFY(ReadBytes(w.rom) == expected);
}

QTEST_MAIN(PlaylistEditorTest)
#include "PlaylistEditorTest.moc"
