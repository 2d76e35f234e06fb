#include "frmROMConv.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ActionAccess.h"
#include "CoreMessage.h"

namespace zorp::ui {

namespace {

constexpr const char* kOpenFilter =
    "All Genesis ROMs (*.BIN;*.GEN;*.32X;*.SMD;*.1;*.MGD;*.MD)|*.BIN;*.GEN;*.32X;*.SMD;*.1;*.MGD;*.MD|"
    "Binary ROM Files (*.BIN;*.GEN;*.32X)|*.BIN;*.GEN|Super Magic Drive Interleaved ROMs (*.SMD)|*.SMD|"
    "Super Magic Drive Multi-Load ROMs (*.1)|*.1|Multi Game Doctor Interleaved ROMs (*.MGD;*.MD)|*.MGD;*.MD";
constexpr const char* kNoRomText = "No ROM selected. Click Select ROM to select a ROM.";
constexpr const char* kSeriesErrorTitle = "Error loading ROM series";

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    return button;
}

// Screen readers read the caption as the label's name; kept in step with it.
void SetCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    label->setAccessibleName(caption);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(caption);
    return label;
}

} // namespace

frmROMConv::frmROMConv(Platform platform, QWidget* parent) : QWidget(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmROMConv"));
    setWindowTitle(QStringLiteral("ZORP-II ROM Format Conversion Utility"));

    cmdBrowse_ = MakeButton(this, "cmdBrowse", QStringLiteral("Select ROM..."));
    txtROMFile_ = new QLineEdit(QString::fromLatin1(kNoRomText), this);
    txtROMFile_->setObjectName(QStringLiteral("txtROMFile"));
    txtROMFile_->setAccessibleName(QStringLiteral("ROM file"));
    txtROMFile_->setReadOnly(true);
    lblROMFormat_ = MakeLabel(this, "lblROMFormat", QStringLiteral("Format:"));
    lblHeader_ = MakeLabel(this, "lblHeader", QStringLiteral("Header information:"));
    lstHeader_ = new QListWidget(this);
    lstHeader_->setObjectName(QStringLiteral("lstHeader"));
    lstHeader_->setAccessibleName(QStringLiteral("Header information"));
    MakeItemsChoosable(lstHeader_);
    lblHeader_->setBuddy(lstHeader_);
    chkValidate_ = new QCheckBox(QStringLiteral("Validate Checksum in Converted ROM"), this);
    chkValidate_->setObjectName(QStringLiteral("chkValidate"));
    chkValidate_->setAccessibleName(chkValidate_->text());

    cmdConvBin_ = MakeButton(this, "cmdConvBin", QStringLiteral("Convert to Binary"),
                             QStringLiteral("Saves the loaded ROM as a binary format ROM (required for hacking)."));
    cmdConvSMD_ = MakeButton(this, "cmdConvSMD", QStringLiteral("Convert to SMD"),
                             QStringLiteral("Saves the loaded ROM as a Super Magic Drive Interleaved ROM."));
    cmdConvMGD_ = MakeButton(this, "cmdConvMGD", QStringLiteral("Convert to Multi Game Dr."),
                             QStringLiteral("Saves the ROM as a Multi Game Doctor Interleaved ROM."));
    // Writing a multi-load series is not offered: the button is there, never enabled.
    cmdConvSMDSp_ = MakeButton(this, "cmdConvSMDSp", QStringLiteral("Convert to Multi-Load SMD"),
                               QStringLiteral("Saves the ROM as a multi-load Super Magic Drive Interleaved ROM "
                                              "series (not implemented yet)."));
    cmdConvSMDSp_->setEnabled(false);
    SetConversionEnabled(false);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(cmdBrowse_);
    fileRow->addWidget(txtROMFile_, 1);

    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdConvBin_, 0, 0);
    buttons->addWidget(cmdConvSMD_, 0, 1);
    buttons->addWidget(cmdConvMGD_, 1, 0);
    buttons->addWidget(cmdConvSMDSp_, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(lblROMFormat_);
    layout->addWidget(lblHeader_);
    layout->addWidget(lstHeader_, 1);
    layout->addWidget(chkValidate_);
    layout->addLayout(buttons);
    resize(560, 400);

    connect(cmdBrowse_, &QPushButton::clicked, this, &frmROMConv::cmdBrowse_Click);
    connect(cmdConvBin_, &QPushButton::clicked, this, &frmROMConv::cmdConvBin_Click);
    connect(cmdConvSMD_, &QPushButton::clicked, this, &frmROMConv::cmdConvSMD_Click);
    connect(cmdConvMGD_, &QPushButton::clicked, this, &frmROMConv::cmdConvMGD_Click);
}

void frmROMConv::EnableConversion(const QString& layoutName)
{
    SetCaption(lblROMFormat_, QStringLiteral("Format: ") + layoutName);
    SetConversionEnabled(true);
}

void frmROMConv::SetConversionEnabled(bool enabled)
{
    cmdConvBin_->setEnabled(enabled);
    cmdConvSMD_->setEnabled(enabled);
    cmdConvMGD_->setEnabled(enabled);
}

void frmROMConv::cmdBrowse_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select ROM");
    request.filter = QString::fromLatin1(kOpenFilter);
    request.mustExist = true;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted)
        return;

    RomFormatResult loaded;
    {
        BusyCursor busy;
        loaded = DetectRomFormat(ToNativePath(chosen.path));
    }
    if (!loaded.ok()) {
        // The window keeps the ROM it had. The series message names its part;
        // the others are told which file they are about.
        Message message = *loaded.error;
        if (message.title != kSeriesErrorTitle) {
            message.lines.push_back("");
            message.lines.push_back(ToNativePath(chosen.path));
        }
        ShowMessage(platform_, this, message);
        return;
    }

    txtROMFile_->setText(chosen.path);
    lstHeader_->clear();
    if (!loaded.recognised()) {
        // Nothing to convert: the previous image is dropped with the buttons.
        SetCaption(lblROMFormat_, QStringLiteral("Format: ") +
                                      QString::fromStdString(RomLayoutName(kLayoutUnknown, false)));
        SetConversionEnabled(false);
        image_.clear();
        romPath_.clear();
        return;
    }

    BusyCursor busy;
    EnableConversion(QString::fromStdString(RomLayoutName(loaded.layout, loaded.is32X)));
    const size_t originalSize = loaded.image.size();
    image_ = std::move(loaded.image);
    PadRomImage(image_);
    romPath_ = chosen.path;
    is32X_ = loaded.is32X;
    for (const std::string& line : HeaderReportLines(image_, originalSize))
        lstHeader_->addItem(FromBytes(line));
}

void frmROMConv::cmdConvBin_Click()
{
    Convert({RomOutputFormat::Binary, "Save Binary ROM File",
             "Binary ROM Files (*.BIN)|*.BIN|32X ROM Files (*.32X)|*.32X", "The ROM has been converted to binary."},
            is32X_ ? 2 : 1);
}

void frmROMConv::cmdConvSMD_Click()
{
    Convert({RomOutputFormat::Smd, "Save SMD Interleaved ROM File", "SMD Interleaved ROM Files (*.SMD)|*.SMD",
             "The ROM has been converted to SMD format."},
            1);
}

void frmROMConv::cmdConvMGD_Click()
{
    Convert({RomOutputFormat::Mgd, "Save MGD Interleaved ROM File", "MGD Interleaved ROM Files (*.MGD)|*.MGD",
             "The ROM has been converted to MGD format."},
            1);
}

void frmROMConv::Convert(const Conversion& conversion, int filterIndex)
{
    if (image_.empty())
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QString::fromLatin1(conversion.title);
    request.filter = QString::fromLatin1(conversion.filter);
    request.filterIndex = filterIndex;
    request.directory = QFileInfo(romPath_).absolutePath();
    request.confirmOverwrite = true;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted)
        return;

    std::string failure;
    {
        BusyCursor busy;
        // The checksum goes into the written bytes only; the loaded image keeps
        // the header it was read with.
        const Bytes output = ConvertedRomBytes(image_, conversion.format, chkValidate_->isChecked());
        failure = WriteFileBytes(ToNativePath(chosen.path), output);
    }
    if (!failure.empty()) {
        ShowMessage(platform_, this,
                        Message{MessageIcon::Critical,
                                "Error Writing ROM",
                                {"Error: The converted ROM could not be written to \"" + ToNativePath(chosen.path) + "\".",
                                 failure}});
        return;
    }
    ShowMessage(platform_, this, Message{MessageIcon::Information, "Converted", {conversion.doneText}});
}

} // namespace zorp::ui
