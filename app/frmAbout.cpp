#include "frmAbout.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppContext.h"
#include "MenuIcons.h"
#include "ostrel/clsOstrel.h"
#include "template/ProgramVersion.h"

namespace zorp::ui {

namespace {

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAccessibleName(text);
    return label;
}

} // namespace

QString frmAbout::VersionText()
{
    return QStringLiteral("%1.%2.%3").arg(kProgramVersionMajor).arg(kProgramVersionMinor).arg(kProgramVersionRevision);
}

frmAbout::frmAbout(AppContext& context, QWidget* parent)
    : QDialog(parent)
    , context_(context)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ZORP-II"));
    setAccessibleName(windowTitle());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setAccessibleName(QStringLiteral("ZORP-II"));
    picture->setPixmap(MenuIcon(QStringLiteral("ROM")).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    QLabel* title = MakeLabel(QStringLiteral("lblTitle"), QStringLiteral("ZORP-II"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    QLabel* version = MakeLabel(QStringLiteral("lblVersion"), QStringLiteral("Version ") + VersionText(), this);
    QLabel* description = MakeLabel(
        QStringLiteral("lblDescription"),
        QStringLiteral("A workbench for hacking the Sonic the Hedgehog games of the Sega Genesis: "
                       "level select names, palettes, sound test playlists, special stages and "
                       "sound samples, edited in place through per-game templates."),
        this);
    description->setWordWrap(true);

    const bool codecPresent = context_.codecPresent();
    QLabel* codec = MakeLabel(QStringLiteral("lblOstrel"),
                              codecPresent ? QStringLiteral("The Ostrel: present (compression available)")
                                           : QStringLiteral("The Ostrel: not found (compression unavailable)"),
                              this);

    QLabel* licence = MakeLabel(QStringLiteral("lblLicence"),
                                QStringLiteral("Copyright (c) 2026 The ZORP-II developers.\n"
                                               "Free software under the MIT licence: you may use, copy, change "
                                               "and share it; it comes without warranty."),
                                this);
    licence->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* cmdAboutOstrel = new QPushButton(QStringLiteral("About The Ostrel..."), this);
    cmdAboutOstrel->setObjectName(QStringLiteral("cmdAboutOstrel"));
    cmdAboutOstrel->setAccessibleName(QStringLiteral("About The Ostrel"));
    cmdAboutOstrel->setEnabled(codecPresent);
    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    buttons->addButton(cmdAboutOstrel, QDialogButtonBox::ActionRole);
    buttons->addButton(cmdOK, QDialogButtonBox::AcceptRole);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(6);
    text->addWidget(description);
    text->addSpacing(6);
    text->addWidget(codec);
    text->addSpacing(6);
    text->addWidget(licence);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(8);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdAboutOstrel, &QPushButton::clicked, this, [this] {
        if (context_.codecPresent())
            context_.codec->AboutOstrel();
    });
}

} // namespace zorp::ui
