#pragma once
// The lock-on combiner window: joins a Sonic & Knuckles image with a second
// cartridge the way the lock-on cartridge does, and explains in a notes box
// what the chosen combination will do. The bytes come from core/rom/LockOn.h.
//
// The rows of controls are numbered as an index would number them: their
// object names are picROM_0..2, cmdROM_0..2, txtROM_0..1 and lblROM_0..1
// (row 0 the S&K image, row 1 the lock-on image, row 2 the "Create ROM"
// button).
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "Platform.h"
#include "rom/Bytes.h"
#include "rom/RomDefinitions.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zorp::ui {

class frmSKLockOn : public QWidget {
    Q_OBJECT

public:
    explicit frmSKLockOn(Platform platform, QWidget* parent = nullptr);

    // What the buttons do: 0 choose the S&K image, 1 the lock-on image,
    // 2 create the combined file.
    void cmdROM_Click(int index);

    // Writes the combination of the chosen images to path and reports the
    // outcome; false when nothing was written.
    bool CombineROMs(const QString& path);

private:
    // A ROM picked in the file dialog, with the definitions table read afresh
    // for identifying it; nothing when cancelled or the table cannot be read.
    struct ChosenRom {
        QString path;
        RomDefinitions definitions;
    };
    std::optional<ChosenRom> ChooseRom(const QString& title);
    void ChooseSKImage();
    void ChooseLockOnImage();
    void CreateROM();
    void UpdateCreateButton();

    Platform platform_;

    Bytes skImage_;      // 2 MiB, patched
    Bytes lockOnImage_;  // the whole second cartridge
    std::string lockOnId_;

    std::array<QWidget*, 3> picROM_{};
    std::array<QPushButton*, 3> cmdROM_{};
    std::array<QLineEdit*, 2> txtROM_{};
    std::array<QLabel*, 2> lblROM_{};
    QLabel* lblROMNotesTitle_ = nullptr;
    QPlainTextEdit* txtROMNotes_ = nullptr;
};

} // namespace zorp::ui
