#pragma once
// Shared pieces of the app test suites: a temporary program directory with a
// definitions file written by the test, synthetic ROM images with a Genesis
// header, and minimal templates.
#include <QByteArray>
#include <QList>
#include <QString>

#include "TemporaryProgramDirectory.h"

class QWidget;

namespace zorp::ui {
class frmZorpII;
}

namespace zorp::test {

// The workspaces on screen.
QList<ui::frmZorpII*> OpenWorkspaces();
// Deletes every top-level window but keep, without their closing questions
// (what a test left open).
void DeleteWindowsExcept(const QWidget* keep);

// Display names and identifiers of the test definitions file, in file order.
// Row 2 (0-based) is "S2".
inline constexpr int kTestGameCount = 9;

// The 96-character title field of a Genesis header: the name padded to 48
// characters, twice (domestic and overseas name).
QByteArray TitleField(const QByteArray& name);

// A zero-filled image of the given size with a Genesis header (serial at
// base + 0x180, title at base + 0x120).
QByteArray GenesisImage(int size, const QByteArray& serial, const QByteArray& name);
void PutGenesisHeader(QByteArray& image, int base, const QByteArray& serial, const QByteArray& name);

// Sonic 2 as the test definitions know it.
QByteArray Sonic2Image();
// Sonic & Knuckles; with a Sonic 2 cartridge locked on when lockedOn.
QByteArray SonicKnucklesImage(bool lockedOn);
// A Game Gear / Master System image whose product code is 0x7076.
QByteArray MasterSystemImage();

// A template with the header, game and version lines only (CRLF line ends).
QByteArray MinimalTemplate(const QByteArray& game, const QByteArray& version = "0.0.13");

// A temporary folder set as the program directory, holding ROM_DEF.RDEF.
class ProgramDirectory : public TemporaryProgramDirectory {
public:
    ProgramDirectory();
    static QByteArray Definitions();
};

} // namespace zorp::test
