#pragma once
// The emulator window: the command line Play starts, with %ROM% standing for
// the ROM file. Ok stores it in the "Preferences" settings, Cancel leaves them.
#include <QDialog>

class QLineEdit;

namespace zorp::ui {

struct Platform;

class frmEmulator : public QDialog {
    Q_OBJECT

public:
    explicit frmEmulator(const Platform& platform, QWidget* parent = nullptr);

    QLineEdit* commandLine() const { return txtEmulator; }

    void accept() override;

private:
    const Platform& platform_;
    QLineEdit* txtEmulator = nullptr;
};

} // namespace zorp::ui
