#include "frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "OstrelVersion.h"

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmAbout");
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(ostrel::kLibraryTitle));
    setModal(true);

    auto makeLabel = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setAccessibleName(text);
        return label;
    };
    lblTitle = makeLabel("lblTitle", QString::fromLatin1(ostrel::kLibraryTitle));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblMaker = makeLabel("lblMaker", QStringLiteral("Created by ") + QString::fromLatin1(ostrel::kMaker));
    lblVersion = makeLabel("lblVersion", QStringLiteral("Version %1.%2.%3")
                                             .arg(ostrel::kVersionMajor)
                                             .arg(ostrel::kVersionMinor)
                                             .arg(ostrel::kVersionRevision));
    lblDescription = makeLabel("lblDescription",
                               QStringLiteral("Kosinski compression and decompression for Sonic the Hedgehog "
                                              "ROMs, and a loader for S3S special stage files."));
    lblDescription->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblMaker);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    layout->addLayout(buttons);
}
