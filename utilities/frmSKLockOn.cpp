#include "frmSKLockOn.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CoreMessage.h"
#include "rom/LockOn.h"
#include "rom/RomDefinitions.h"

namespace zorp::ui {

namespace {

constexpr const char* kFilter = "Binary ROM Files (*.BIN)|*.BIN";

void SetBold(QLabel* label, bool bold)
{
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

void SetCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    label->setAccessibleName(caption);
}

} // namespace

frmSKLockOn::frmSKLockOn(Platform platform, QWidget* parent) : QWidget(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmSKLockOn"));
    setWindowTitle(QStringLiteral("S&K Lock-On ROM Combiner"));

    const QString captions[2] = {QStringLiteral("Select S&K ROM (Not Selected)"),
                                 QStringLiteral("Select Lock-On ROM (Not Selected)")};
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 3; ++i) {
        picROM_[i] = new QWidget(this);
        picROM_[i]->setObjectName(QStringLiteral("picROM_%1").arg(i));
        const QString caption = i < 2 ? QStringLiteral("Browse...") : QStringLiteral("Create ROM");
        cmdROM_[i] = new QPushButton(caption, picROM_[i]);
        cmdROM_[i]->setObjectName(QStringLiteral("cmdROM_%1").arg(i));
        cmdROM_[i]->setAccessibleName(caption);
        connect(cmdROM_[i], &QPushButton::clicked, this, [this, i] { cmdROM_Click(i); });

        if (i < 2) {
            lblROM_[i] = new QLabel(picROM_[i]);
            lblROM_[i]->setObjectName(QStringLiteral("lblROM_%1").arg(i));
            SetCaption(lblROM_[i], captions[i]);
            txtROM_[i] = new QLineEdit(picROM_[i]);
            txtROM_[i]->setObjectName(QStringLiteral("txtROM_%1").arg(i));
            txtROM_[i]->setAccessibleName(i == 0 ? QStringLiteral("S&K ROM file") : QStringLiteral("Lock-On ROM file"));
            txtROM_[i]->setReadOnly(true);

            auto* row = new QVBoxLayout(picROM_[i]);
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(lblROM_[i]);
            auto* line = new QHBoxLayout;
            line->addWidget(txtROM_[i], 1);
            line->addWidget(cmdROM_[i]);
            row->addLayout(line);
        } else {
            auto* row = new QHBoxLayout(picROM_[i]);
            row->setContentsMargins(0, 0, 0, 0);
            row->addStretch(1);
            row->addWidget(cmdROM_[i]);
        }
    }
    cmdROM_[2]->setEnabled(false);

    lblROMNotesTitle_ = new QLabel(QStringLiteral("Notes about ROM combination"), this);
    lblROMNotesTitle_->setObjectName(QStringLiteral("lblROMNotesTitle"));
    lblROMNotesTitle_->setAccessibleName(lblROMNotesTitle_->text());
    txtROMNotes_ = new QPlainTextEdit(this);
    txtROMNotes_->setObjectName(QStringLiteral("txtROMNotes"));
    txtROMNotes_->setAccessibleName(lblROMNotesTitle_->text());
    txtROMNotes_->setReadOnly(true);
    lblROMNotesTitle_->setBuddy(txtROMNotes_);

    layout->addWidget(picROM_[0]);
    layout->addWidget(picROM_[1]);
    layout->addWidget(lblROMNotesTitle_);
    layout->addWidget(txtROMNotes_, 1);
    layout->addWidget(picROM_[2]);
    resize(520, 380);
}

void frmSKLockOn::cmdROM_Click(int index)
{
    switch (index) {
    case 0: ChooseSKImage(); break;
    case 1: ChooseLockOnImage(); break;
    case 2: CreateROM(); break;
    default: break;
    }
}

std::optional<frmSKLockOn::ChosenRom> frmSKLockOn::ChooseRom(const QString& title)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = QString::fromLatin1(kFilter);
    request.mustExist = true;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted)
        return std::nullopt;

    // The definitions file is read again each time, so edits take effect.
    RomDefinitionsLoad definitions = LoadRomDefinitions();
    if (!definitions.ok()) {
        ShowMessage(platform_, this, *definitions.error);
        return std::nullopt;
    }
    return ChosenRom{chosen.path, std::move(definitions.table)};
}

void frmSKLockOn::ChooseSKImage()
{
    const auto chosen = ChooseRom(QStringLiteral("Select Sonic & Knuckles ROM"));
    if (!chosen)
        return;
    SKImageLoad load;
    {
        BusyCursor busy;
        load = LoadSKImage(chosen->definitions, ToNativePath(chosen->path));
    }
    if (!load.ok()) {
        ShowMessage(platform_, this, *load.error);
        return;
    }
    skImage_ = std::move(load.image);
    SetBold(lblROM_[0], true);
    SetCaption(lblROM_[0], QStringLiteral("Select S&K ROM (Selected)"));
    txtROM_[0]->setText(chosen->path);
    UpdateCreateButton();
}

void frmSKLockOn::ChooseLockOnImage()
{
    const auto chosen = ChooseRom(QStringLiteral("Select Lock-On ROM"));
    if (!chosen)
        return;
    LockOnImageLoad load;
    {
        BusyCursor busy;
        load = LoadLockOnImage(chosen->definitions, ToNativePath(chosen->path));
    }
    if (!load.ok()) {
        ShowMessage(platform_, this, *load.error);
        return;
    }
    lockOnImage_ = std::move(load.image);
    lockOnId_ = load.gameId;
    SetBold(lblROM_[1], true);
    SetCaption(lblROM_[1], QStringLiteral("Select Lock-On ROM (Selected - ") +
                               FromBytes(GameDisplayName(chosen->definitions, lockOnId_)) + QLatin1Char(')'));
    txtROM_[1]->setText(chosen->path);

    // The notes are paragraphs ending in CR LF CR LF; the box wants line feeds.
    QString notes = QString::fromStdString(LockOnNotesText(lockOnId_, lockOnImage_.size()));
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtROMNotes_->setPlainText(notes);
    UpdateCreateButton();
}

void frmSKLockOn::UpdateCreateButton()
{
    cmdROM_[2]->setEnabled(lblROM_[0]->font().bold() && lblROM_[1]->font().bold());
}

void frmSKLockOn::CreateROM()
{
    if (skImage_.empty() || lockOnImage_.empty())
        return;
    // Without the Sonic 2 extra image there is nothing sensible to write, so
    // say so before asking for a file name.
    if (NeedsS2Extra(lockOnId_)) {
        const S2ExtraLoad extra = LoadS2ExtraImage();
        if (!extra.ok()) {
            ShowMessage(platform_, this, *extra.error);
            return;
        }
    }
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Select ROM to Create");
    request.filter = QString::fromLatin1(kFilter);
    request.confirmOverwrite = true;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted)
        return;
    CombineROMs(chosen.path);
}

bool frmSKLockOn::CombineROMs(const QString& path)
{
    S2ExtraLoad extra;
    if (NeedsS2Extra(lockOnId_)) {
        // Read again: the file may have changed since the button was pressed.
        extra = LoadS2ExtraImage();
        if (!extra.ok()) {
            ShowMessage(platform_, this, *extra.error);
            return false;
        }
    }
    std::string failure;
    {
        BusyCursor busy;
        const std::optional<Bytes> combined = zorp::CombineROMs(skImage_, lockOnImage_, lockOnId_, extra.image);
        if (!combined)
            return false; // only for a wrong extra image, refused above
        failure = WriteFileBytes(ToNativePath(path), *combined);
    }
    if (!failure.empty()) {
        ShowMessage(platform_, this, LockOnWriteFailedMessage(ToNativePath(path), failure));
        return false;
    }
    ShowMessage(platform_, this, LockedOnMessage());
    return true;
}

} // namespace zorp::ui
