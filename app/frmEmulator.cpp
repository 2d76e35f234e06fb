#include "frmEmulator.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AccessibleTitle.h"
#include "EmulatorCommand.h"

namespace zorp::ui {

frmEmulator::frmEmulator(const Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmEmulator"));
    setWindowTitle(QStringLiteral("Emulator"));
    FollowTitleWithAccessibleName(this);

    auto* lblEmulator = new QLabel(
        QStringLiteral("Command line that Play starts (%ROM% is replaced by the ROM file):"), this);
    lblEmulator->setObjectName(QStringLiteral("lblEmulator"));
    lblEmulator->setAccessibleName(lblEmulator->text());
    txtEmulator = new QLineEdit(EmulatorCommand(platform), this);
    txtEmulator->setObjectName(QStringLiteral("txtEmulator"));
    txtEmulator->setAccessibleName(QStringLiteral("Emulator command line"));
    txtEmulator->setPlaceholderText(QStringLiteral("blastem %ROM%"));
    txtEmulator->setMinimumWidth(360);
    lblEmulator->setBuddy(txtEmulator);
    auto* lblHint = new QLabel(QStringLiteral("Debian installs one with: apt-get install blastem"), this);
    lblHint->setObjectName(QStringLiteral("lblEmulatorHint"));
    lblHint->setAccessibleName(lblHint->text());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("cmdEmulatorButtons"));
    for (QAbstractButton* button : buttons->buttons()) {
        const bool ok = buttons->buttonRole(button) == QDialogButtonBox::AcceptRole;
        button->setObjectName(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"));
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &frmEmulator::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmEmulator::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblEmulator);
    layout->addWidget(txtEmulator);
    layout->addWidget(lblHint);
    layout->addWidget(buttons);
}

void frmEmulator::accept()
{
    SetEmulatorCommand(platform_, txtEmulator->text());
    QDialog::accept();
}

} // namespace zorp::ui
