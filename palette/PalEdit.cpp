#include "palette/PalEdit.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QUndoStack>
#include <algorithm>

#include "palette/ChannelLabel.h"
#include "palette/PaletteEditCommands.h"
#include "palette/PaletteFile.h"
#include "palette/PaletteImport.h"
#include "palette/PaletteModel.h"
#include "palette/PalettePng.h"
#include "palette/PaletteSwatch.h"
#include "palette/frmPaletteImport.h"
#include "platform/ActionAccess.h"
#include "rom/Bytes.h"

namespace zorp::ui {

namespace {

constexpr int kMinimumWidth = 275;
constexpr int kMinimumHeight = 197;
constexpr int kSwatchesPerRow = 16;
constexpr int kSwatchHeight = 16;
constexpr int kScrollBarWidth = 17;
constexpr int kVisibleRows = 4;
constexpr int kGridWindowHeight = kVisibleRows * kSwatchHeight + 1; // 65
constexpr int kGap = 4;
// The most swatches the grid holds. Real palettes have at most a few hundred
// colours (64 on the Genesis, 512 on the Game Boy Advance); a template that
// names more shows and saves the first 4096, and the grid never turns into
// tens of thousands of widgets.
constexpr int kMaxSwatches = 4096;

// Channel names as the switch menu shows them.
const char* const kChannelCaptions[3] = {"&Red", "&Green", "&Blue"};
const char* const kChannelNames[3] = {"Red", "Green", "Blue"};
const QColor kChannelTextColors[3] = {QColor(170, 0, 0), QColor(0, 120, 0), QColor(0, 0, 190)};

const QString kSaveQuestion = QStringLiteral("The current palette has not been saved.\nDo you want to save it?");

// The file dialogs' filters, in the order of PaletteFileFormat.
const QString kPaletteFilters = QStringLiteral(
    "Genesis palette (*.bin)|*.bin|JASC-PAL (*.pal)|*.pal|GIMP palette (*.gpl)|*.gpl|PNG swatch strip (*.png)|*.png");
const QString kPaletteExtensions[] = {QStringLiteral(".bin"), QStringLiteral(".pal"), QStringLiteral(".gpl"),
                                      QStringLiteral(".png")};

constexpr int kButtonRowHeight = 24;

int RowsFor(int entries) { return entries / kSwatchesPerRow + (entries % kSwatchesPerRow != 0 ? 1 : 0); }

QColor ToQColor(zorp::ScreenColor c) { return QColor(c.r, c.g, c.b); }

zorp::ScreenColor ToScreenColor(const QColor& c)
{
    return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}

} // namespace

PalEdit::PalEdit(QWidget* parent) : PalEdit(Platform{}, parent) {}

PalEdit::PalEdit(const Platform& platform, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      runMenu_([](QMenu* menu, QPoint at) { return menu->exec(at); }),
      runImport_([](frmPaletteImport& dialog) { return dialog.exec() == QDialog::Accepted; })
{
    setObjectName("PalEdit");
    setAccessibleName("PalEdit");
    setAccessibleDescription("Palette editor");
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    undo_ = new QUndoStack(this);
    connect(undo_, &QUndoStack::cleanChanged, this, &PalEdit::notifyModified);
    connect(undo_, &QUndoStack::indexChanged, this, &PalEdit::notifyModified);

    buildWidgets();
    resize(kMinimumWidth, kMinimumHeight);
    layoutWidgets();
}

PalEdit::~PalEdit()
{
    // The commands point back at this control; drop them while it is whole.
    undo_->clear();
}

void PalEdit::setMenuRunner(MenuRunner runner)
{
    runMenu_ = runner ? std::move(runner) : MenuRunner([](QMenu* menu, QPoint at) { return menu->exec(at); });
}

void PalEdit::setImportDialogRunner(ImportDialogRunner runner)
{
    runImport_ = runner ? std::move(runner)
                        : ImportDialogRunner([](frmPaletteImport& dialog) { return dialog.exec() == QDialog::Accepted; });
}

// ---- Widgets -------------------------------------------------------------------------

void PalEdit::buildWidgets()
{
    gridWindow_ = new QWidget(this);
    gridWindow_->setObjectName("picPalette2");
    gridWindow_->setAccessibleName("picPalette2");
    gridWindow_->setAccessibleDescription("Colours of the palette");
    gridWindow_->setAutoFillBackground(true);
    QPalette dark = gridWindow_->palette();
    dark.setColor(QPalette::Window, QColor(150, 150, 150)); // where no swatch is
    gridWindow_->setPalette(dark);

    createGrid();

    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName("vscPalette");
    scroll_->setAccessibleName("vscPalette");
    scroll_->setAccessibleDescription("Scrolls the colours");
    scroll_->setRange(0, 0);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(kSwatchHeight);
    scroll_->setEnabled(false);
    connect(scroll_, &QScrollBar::valueChanged, this, &PalEdit::onScrolled);

    list_ = new QListWidget(this);
    list_->setObjectName("lstPalettes");
    list_->setAccessibleName("lstPalettes");
    list_->setAccessibleDescription("Palettes");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    MakeItemsChoosable(list_);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    connect(list_, &QListWidget::currentRowChanged, this, &PalEdit::onRowChanged);

    settings_ = new QWidget(this);
    settings_->setObjectName("picColorSettings");
    settings_->setAccessibleName("picColorSettings");

    for (int channel = 0; channel < 3; ++channel) {
        auto* label = new ChannelLabel(settings_);
        label->setObjectName(QString("lblColor_%1").arg(channel));
        label->setAccessibleName(QString("%1 channel").arg(kChannelNames[channel]));
        label->setAccessibleDescription(QString("%1 level; right-click to switch channels").arg(kChannelNames[channel]));
        label->setToolTip(QString("%1 (right-click to switch with another channel)").arg(kChannelNames[channel]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setText("0");
        QPalette text = label->palette();
        text.setColor(QPalette::WindowText, kChannelTextColors[channel]);
        label->setPalette(text);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        connect(label, &ChannelLabel::rightReleased, this,
                [this, channel](QPoint at) { openSwitchMenu(channel, at); });
        labels_[channel] = label;

        auto* slider = new QSlider(Qt::Horizontal, settings_);
        slider->setObjectName(QString("hscColor_%1").arg(channel));
        slider->setAccessibleName(QString("hscColor_%1").arg(channel));
        slider->setAccessibleDescription(QString("%1 level").arg(kChannelNames[channel]));
        slider->setToolTip(kChannelNames[channel]);
        slider->setRange(0, zorp::SliderMaximum(format()));
        slider->setPageStep(1);
        slider->setSingleStep(1);
        connect(slider, &QSlider::valueChanged, this, &PalEdit::onSliderMoved);
        sliders_[channel] = slider;

        // The same position, typed; it moves the slider, which makes the edit.
        auto* spin = new QSpinBox(settings_);
        spin->setObjectName(QString("spnColor_%1").arg(channel));
        spin->setAccessibleName(QString("%1 level").arg(kChannelNames[channel]));
        spin->setToolTip(QString("%1 level (type a value)").arg(kChannelNames[channel]));
        spin->setRange(0, zorp::SliderMaximum(format()));
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        spin->setAlignment(Qt::AlignRight);
        connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
        spins_[channel] = spin;
        // Label, slider and spin box: the label names the slider to screen readers.
        label->setBuddy(spin);
    }

    preview_ = new QWidget(settings_);
    preview_->setObjectName("shpPreview");
    preview_->setAccessibleName("shpPreview");
    preview_->setAccessibleDescription("Colour of the sliders");
    preview_->setAutoFillBackground(true);

    switchMenu_ = new QMenu("Component Switcher", this);
    switchMenu_->setObjectName("mnuSwitch");
    switchMenu_->setAccessibleName("Component Switcher");
    switchDesc_ = switchMenu_->addAction(QString());
    switchDesc_->setObjectName("mnuSwitchDesc");
    QAction* separator = switchMenu_->addSeparator();
    separator->setObjectName("mnuSwitchSep");
    for (int channel = 0; channel < 3; ++channel) {
        QAction* item = switchMenu_->addAction(kChannelCaptions[channel]);
        item->setObjectName(QString("mnuSwitchColor_%1").arg(channel));
        switchColors_[channel] = item;
    }

    auto makeButton = [this](const char* name, const QString& text, const QString& tip, auto slot) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(QString(text).remove(QLatin1String("...")));
        button->setToolTip(tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    cmdImport_ = makeButton("cmdImport", QStringLiteral("Import..."),
                            QStringLiteral("Read colours from a palette file (.bin, .pal, .gpl, .png) into a line "
                                           "or the whole palette."),
                            [this] { ImportPalette(); });
    cmdExport_ = makeButton("cmdExport", QStringLiteral("Export..."),
                            QStringLiteral("Write this palette to a palette file (.bin, .pal, .gpl, .png)."),
                            [this] { ExportPalette(); });
    cmdCopyLine_ = makeButton("cmdCopyLine", QStringLiteral("Copy Line"),
                              QStringLiteral("Copy the 16 colours of the selected swatch's line."),
                              [this] { CopyLine(); });
    cmdPasteLine_ = makeButton("cmdPasteLine", QStringLiteral("Paste Line"),
                               QStringLiteral("Paste copied colours into the selected swatch's line."),
                               [this] { PasteLine(); });

    updateLabelsAndPreview();
}

void PalEdit::createGrid()
{
    // The grid owns its swatches and their group, so a new set of swatches
    // replaces the old one in one step.
    grid_ = new QWidget(gridWindow_);
    grid_->setObjectName("picPalette");
    grid_->setAccessibleName("picPalette");
    swatchGroup_ = new QButtonGroup(grid_);
    swatchGroup_->setExclusive(true);
    connect(swatchGroup_, &QButtonGroup::idClicked, this, &PalEdit::onSwatchClicked);
    grid_->show();
}

void PalEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutWidgets();
}

void PalEdit::layoutWidgets()
{
    const int w = std::max(width(), kMinimumWidth);
    const int h = std::max(height(), kMinimumHeight);
    const int gridWidth = w - kScrollBarWidth;
    gridWindow_->setGeometry(0, 0, gridWidth, kGridWindowHeight);
    scroll_->setGeometry(gridWidth, 0, kScrollBarWidth, kGridWindowHeight);
    layoutSwatches();

    const int top = kGridWindowHeight + kGap;
    // The file and clipboard buttons share one row along the bottom.
    const int buttonsTop = h - kButtonRowHeight;
    const int bottomHeight = buttonsTop - kGap - top;
    const std::array<QPushButton*, 4> buttons = {cmdImport_, cmdExport_, cmdCopyLine_, cmdPasteLine_};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int left = static_cast<int>(i) * w / 4;
        const int right = static_cast<int>(i + 1) * w / 4;
        buttons[i]->setGeometry(left, buttonsTop, right - left - (i + 1 < buttons.size() ? 2 : 0), kButtonRowHeight);
    }
    const int listWidth = (w - kGap) * 9 / 20;
    list_->setGeometry(0, top, listWidth, bottomHeight);
    const int settingsX = listWidth + kGap;
    const int settingsWidth = w - settingsX;
    settings_->setGeometry(settingsX, top, settingsWidth, bottomHeight);

    constexpr int rowHeight = 22;
    constexpr int labelWidth = 24;
    constexpr int spinWidth = 34;
    for (int channel = 0; channel < 3; ++channel) {
        const int y = channel * rowHeight;
        labels_[channel]->setGeometry(0, y, labelWidth, rowHeight);
        sliders_[channel]->setGeometry(labelWidth + kGap, y, settingsWidth - labelWidth - spinWidth - 2 * kGap,
                                       rowHeight);
        spins_[channel]->setGeometry(settingsWidth - spinWidth, y + 1, spinWidth, rowHeight - 2);
    }
    const int previewTop = 3 * rowHeight + kGap;
    // A swatch-sized sample, not a wall of colour when the frame is stretched.
    constexpr int kPreviewMaxHeight = 80;
    preview_->setGeometry(kGap, previewTop, settingsWidth - kGap,
                          std::clamp(bottomHeight - previewTop, 4, kPreviewMaxHeight));
}

void PalEdit::layoutSwatches()
{
    const int swatchWidth = std::max(1, (std::max(width(), kMinimumWidth) - kScrollBarWidth) / kSwatchesPerRow);
    const int count = static_cast<int>(swatches_.size());
    grid_->setGeometry(0, -scroll_->value(), gridWindow_->width(), kSwatchHeight * RowsFor(count) + 1);
    for (int i = 0; i < count; ++i)
        swatches_[static_cast<size_t>(i)]->setGeometry((i % kSwatchesPerRow) * swatchWidth,
                                                       (i / kSwatchesPerRow) * kSwatchHeight, swatchWidth,
                                                       kSwatchHeight);
}

void PalEdit::onScrolled(int value) { grid_->move(0, -value); }

// ---- Table and palettes ----------------------------------------------------------

void PalEdit::LoadColors(int maximum)
{
    maximum = std::clamp(maximum, 0, std::min(kMaxSwatches, static_cast<int>(zorp::kMaxPaletteEntries)));
    startNewHistory(); // the commands name swatches that are about to go
    swatches_.clear();
    delete grid_;
    createGrid();
    swatches_.reserve(static_cast<size_t>(maximum));
    for (int i = 0; i < maximum; ++i) {
        auto* swatch = new PaletteSwatch(i, grid_);
        swatchGroup_->addButton(swatch, i);
        connect(swatch, &PaletteSwatch::arrowPressed, this, &PalEdit::moveSelection);
        swatch->setVisible(false); // until a palette uses it
        swatches_.push_back(swatch);
    }
    shownCount_ = 0;
    layoutSwatches();
}

void PalEdit::PaletteList(const QStringList& names, const QList<qint64>& addresses, const QList<int>& counts)
{
    changingRow_ = true;
    list_->clear();
    changingRow_ = false;
    for (PaletteSwatch* swatch : swatches_)
        swatch->setColor(Qt::black);
    setSlidersQuietly({0, 0, 0});

    const qsizetype rows = std::min({names.size(), addresses.size(), counts.size()});
    names_ = names.mid(0, rows);
    addresses_ = addresses.mid(0, rows);
    counts_ = counts.mid(0, rows);
    changingRow_ = true;
    list_->addItems(names_);
    changingRow_ = false;

    // A new table is no edit, and the old rows are gone: nothing may be saved
    // for them.
    previousRow_ = -1;
    shownCount_ = 0;
    startNewHistory();
    if (!names_.isEmpty())
        list_->setCurrentRow(0); // shows it through onRowChanged
}

void PalEdit::onRowChanged(int row)
{
    if (changingRow_ || row < 0 || row == previousRow_)
        return;
    if (PaletteModified() && rowInTable(previousRow_)) {
        const Answer answer = ask({"Save Palette", kSaveQuestion, Icon::Information, Buttons::YesNoCancel});
        // Cancel, or a save that failed: the palette being edited stays on
        // screen and its row selected.
        if (answer == Answer::Cancel || (answer == Answer::Yes && !SavePalette(true))) {
            changingRow_ = true;
            list_->setCurrentRow(previousRow_);
            changingRow_ = false;
            return;
        }
    }
    RestorePalette();
    previousRow_ = row;
}

bool PalEdit::RestorePalette()
{
    if (filename_.isEmpty())
        return true;
    const int row = list_->currentRow();
    if (!rowInTable(row))
        return false;
    previousRow_ = row;
    const qint64 address = addresses_[row];
    // The grid holds as many swatches as the largest palette; a count beyond
    // that (or below 0) shows what fits.
    const int count = std::clamp(counts_[row], 0, static_cast<int>(swatches_.size()));

    std::optional<zorp::Bytes> bytes;
    QString reason;
    if (address < 0) {
        reason = QString("Its position (%1) is not a valid file position.").arg(address);
    } else {
        bytes = zorp::ReadBytesAt(ToBytes(filename_), static_cast<uint64_t>(address), 2ull * count);
        if (!bytes)
            reason = QFileInfo(filename_).exists() ? "The file cannot be opened for reading."
                                                    : "The file does not exist.";
    }

    const int selected = SelectedSwatch();
    hideAllSwatches();
    shownCount_ = 0;
    startNewHistory();
    if (!bytes) {
        ask({"Palette Not Loaded",
             QString("The palette \"%1\" could not be read from\n%2\n%3").arg(names_[row], filename_, reason),
             Icon::Critical, Buttons::Ok});
        selectSwatchQuietly(-1);
        updateLabelsAndPreview();
        return false;
    }

    if (count <= 64) {
        scroll_->setValue(0);
        scroll_->setRange(0, 0);
        scroll_->setEnabled(false);
    } else {
        scroll_->setEnabled(true);
        scroll_->setValue(0);
        scroll_->setRange(0, kSwatchHeight * RowsFor(count) - 63);
    }

    const std::vector<zorp::ScreenColor> colors = zorp::DecodePalette(format(), *bytes, static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        PaletteSwatch* swatch = swatches_[static_cast<size_t>(i)];
        swatch->setColor(ToQColor(colors[static_cast<size_t>(i)]));
        swatch->setVisible(true);
    }
    shownCount_ = count;
    const int select = (selected < 0 || selected >= count) ? (count > 0 ? 0 : -1) : selected;
    selectSwatchQuietly(select);
    showSwatchInSliders(select);
    updateTabStop();
    return true;
}

namespace {

// The patch of one palette row: its colours encoded at its address.
std::optional<zorp::Patch> RowPatch(qint64 address, zorp::PaletteFormat format,
                                     const std::vector<zorp::ScreenColor>& colors)
{
    if (address < 0)
        return std::nullopt;
    return zorp::Patch{static_cast<uint64_t>(address), zorp::EncodePalette(format, colors)};
}

} // namespace

std::vector<zorp::ScreenColor> PalEdit::shownColors() const
{
    std::vector<zorp::ScreenColor> colors;
    colors.reserve(static_cast<size_t>(shownCount_));
    for (int i = 0; i < shownCount_; ++i)
        colors.push_back(ToScreenColor(swatches_[static_cast<size_t>(i)]->color()));
    return colors;
}

std::optional<zorp::Patch> PalEdit::PendingPatch() const
{
    if (!PaletteModified() || !rowInTable(previousRow_) || shownCount_ == 0)
        return std::nullopt;
    return RowPatch(addresses_[previousRow_], format(), shownColors());
}

bool PalEdit::SavePalette(bool usePreviousRow)
{
    if (filename_.isEmpty())
        return true;
    const int row = usePreviousRow ? previousRow_ : list_->currentRow();
    // Only the row on screen can be saved: its palette is what the swatches hold.
    if (!rowInTable(row) || row != previousRow_)
        return false;
    const std::vector<zorp::ScreenColor> colors = shownColors();
    if (colors.empty()) {
        setPaletteModified(false);
        return true;
    }
    const std::optional<zorp::Patch> patch = RowPatch(addresses_[row], format(), colors);
    if (patch && saveHandler_) {
        if (!saveHandler_(*patch))
            return false;
        setPaletteModified(false);
        return true;
    }
    std::string error;
    if (!patch)
        error = "its position is not a valid file position";
    else
        error = zorp::WriteBytesAt(ToBytes(filename_), patch->offset, patch->bytes);
    if (!error.empty()) {
        ask({"Palette Not Saved",
             QString("The palette \"%1\" could not be written to\n%2\n(%3)").arg(names_[row], filename_,
                                                                                  FromBytes(error)),
             Icon::Critical, Buttons::Ok});
        return false;
    }
    setPaletteModified(false);
    return true;
}

bool PalEdit::MaybeSave()
{
    if (!PaletteModified())
        return true;
    switch (ask({"Save Palette", kSaveQuestion, Icon::Information, Buttons::YesNoCancel})) {
    case Answer::Yes: return SavePalette();
    case Answer::No: return true;
    default: return false;
    }
}

void PalEdit::hideAllSwatches()
{
    for (PaletteSwatch* swatch : swatches_)
        swatch->setVisible(false);
}

// ---- Format ----------------------------------------------------------------------

void PalEdit::setPaletteType(int type)
{
    paletteType_ = type;
    UpdatePaletteType();
}

void PalEdit::UpdatePaletteType()
{
    const int newMaximum = zorp::SliderMaximum(format());
    const zorp::SliderPositions before = sliderPositions();
    quiet_ = true;
    for (QSlider* slider : sliders_) {
        if (slider->maximum() == newMaximum)
            continue;
        const int position = zorp::RescaleSlider(slider->maximum(), slider->value(), format());
        slider->setMaximum(newMaximum);
        slider->setValue(position);
    }
    for (QSpinBox* spin : spins_) {
        const QSignalBlocker still(spin);
        spin->setMaximum(newMaximum);
    }
    quiet_ = false;
    updateLabelsAndPreview();
    // The rescaled sliders are an edit of the selected swatch, as a move would be.
    if (sliderPositions() != before)
        recolourFromSliders("Change Colour Format", false);
}

// ---- Swatches and sliders ----------------------------------------------------------------

int PalEdit::SelectedSwatch() const { return swatchGroup_->checkedId(); }

void PalEdit::selectSwatchQuietly(int index)
{
    if (index >= 0 && index < static_cast<int>(swatches_.size())) {
        swatches_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // No swatch: an exclusive group only lets go of its checked button when
    // it is briefly not exclusive.
    if (QAbstractButton* checked = swatchGroup_->checkedButton()) {
        swatchGroup_->setExclusive(false);
        checked->setChecked(false);
        swatchGroup_->setExclusive(true);
    }
}

void PalEdit::onSwatchClicked(int index)
{
    showSwatchInSliders(index);
    updateTabStop();
}

int PalEdit::SelectedLine() const
{
    const int index = SelectedSwatch();
    return index < 0 ? -1 : index / zorp::kColorsPerLine;
}

void PalEdit::updateTabStop()
{
    const int selected = SelectedSwatch();
    for (PaletteSwatch* swatch : swatches_)
        swatch->setFocusPolicy(swatch->index() == selected ? Qt::StrongFocus : Qt::ClickFocus);
}

void PalEdit::selectAndShow(int index)
{
    if (index < 0 || index >= shownCount_)
        return;
    selectSwatchQuietly(index);
    showSwatchInSliders(index);
    updateTabStop();
    PaletteSwatch* swatch = swatches_[static_cast<size_t>(index)];
    swatch->setFocus(Qt::TabFocusReason);
    // Scrolled so the swatch's row is inside the four rows on show.
    const int top = (index / kSwatchesPerRow) * kSwatchHeight;
    if (scroll_->isEnabled()) {
        if (top < scroll_->value())
            scroll_->setValue(top);
        else if (top + kSwatchHeight > scroll_->value() + kGridWindowHeight - 1)
            scroll_->setValue(top + kSwatchHeight - (kGridWindowHeight - 1));
    }
}

void PalEdit::moveSelection(int key)
{
    const int index = SelectedSwatch();
    if (index < 0 || shownCount_ == 0)
        return;
    int next = index;
    switch (key) {
    case Qt::Key_Left: next = index - 1; break;
    case Qt::Key_Right: next = index + 1; break;
    case Qt::Key_Up: next = index - kSwatchesPerRow; break;
    case Qt::Key_Down: next = index + kSwatchesPerRow; break;
    case Qt::Key_Home: next = 0; break;
    case Qt::Key_End: next = shownCount_ - 1; break;
    default: return;
    }
    if (next >= 0 && next < shownCount_)
        selectAndShow(next);
}

void PalEdit::showSwatchInSliders(int index)
{
    if (index < 0 || index >= static_cast<int>(swatches_.size()))
        return;
    // Selecting is no edit: the swatch keeps its exact colour even where the
    // sliders cannot show its lowest bits.
    const QColor color = swatches_[static_cast<size_t>(index)]->color();
    setSlidersQuietly(zorp::SlidersFromColor(format(), ToScreenColor(color)));
}

void PalEdit::setSlidersQuietly(const zorp::SliderPositions& positions)
{
    quiet_ = true;
    sliders_[0]->setValue(positions.red);
    sliders_[1]->setValue(positions.green);
    sliders_[2]->setValue(positions.blue);
    quiet_ = false;
    updateLabelsAndPreview();
}

zorp::SliderPositions PalEdit::sliderPositions() const
{
    return {sliders_[0]->value(), sliders_[1]->value(), sliders_[2]->value()};
}

void PalEdit::updateLabelsAndPreview()
{
    for (int channel = 0; channel < 3; ++channel) {
        labels_[channel]->setText(QString::number(sliders_[channel]->value()));
        const QSignalBlocker still(spins_[channel]);
        spins_[channel]->setValue(sliders_[channel]->value());
    }
    QPalette fill = preview_->palette();
    fill.setColor(QPalette::Window, ToQColor(zorp::ColorFromSliders(format(), sliderPositions())));
    preview_->setPalette(fill);
}

void PalEdit::onSliderMoved()
{
    if (quiet_)
        return;
    updateLabelsAndPreview();
    recolourFromSliders("Change Colour", true);
}

void PalEdit::recolourFromSliders(const QString& text, bool mergeable)
{
    const int index = SelectedSwatch();
    if (index < 0 || index >= static_cast<int>(swatches_.size()))
        return;
    const uint32_t before = ToScreenColor(swatches_[static_cast<size_t>(index)]->color()).Value();
    const uint32_t after = zorp::ColorFromSliders(format(), sliderPositions()).Value();
    if (before != after)
        undo_->push(new ChangeSwatchColorCommand(this, index, before, after, text, mergeable));
}

void PalEdit::applySwatchColor(int index, uint32_t colorValue)
{
    if (index < 0 || index >= static_cast<int>(swatches_.size()))
        return;
    PaletteSwatch* swatch = swatches_[static_cast<size_t>(index)];
    swatch->setColor(ToQColor(zorp::ScreenColor::FromValue(colorValue)));
    // Undo and redo show the swatch they change.
    if (SelectedSwatch() != index)
        selectSwatchQuietly(index);
    const zorp::SliderPositions positions = zorp::SlidersFromColor(format(), zorp::ScreenColor::FromValue(colorValue));
    if (positions != sliderPositions())
        setSlidersQuietly(positions);
}

// ---- Channel switch menu ---------------------------------------------------------------

void PalEdit::openSwitchMenu(int channel, QPoint globalPosition)
{
    if (channel < 0 || channel > 2)
        return;
    switchSource_ = channel;
    for (int other = 0; other < 3; ++other)
        switchColors_[other]->setVisible(other != channel);
    switchDesc_->setText(QString("Switch %1 with:").arg(QString(kChannelCaptions[channel]).remove('&')));

    QAction* chosen = runMenu_(switchMenu_, globalPosition);
    if (!chosen)
        return;
    if (chosen == switchDesc_) {
        ask({"Unclickable Item", "You're not supposed to click this item!", Icon::Critical, Buttons::Ok});
        return;
    }
    for (int other = 0; other < 3; ++other)
        if (chosen == switchColors_[other] && other != switchSource_)
            switchChannels(switchSource_, other);
}

void PalEdit::switchChannels(int source, int chosen)
{
    const int sourcePosition = sliders_[source]->value();
    const int chosenPosition = sliders_[chosen]->value();
    if (sourcePosition == chosenPosition)
        return;
    quiet_ = true;
    sliders_[chosen]->setValue(sourcePosition);
    sliders_[source]->setValue(chosenPosition);
    quiet_ = false;
    updateLabelsAndPreview();
    recolourFromSliders(QString("Switch %1 with %2").arg(kChannelNames[source], kChannelNames[chosen]), false);
}

// ---- Files and the clipboard --------------------------------------------------------------

void PalEdit::replaceColors(int start, const std::vector<zorp::ScreenColor>& colors, const QString& text)
{
    std::vector<uint32_t> before;
    std::vector<uint32_t> after;
    for (size_t i = 0; i < colors.size() && start + static_cast<int>(i) < shownCount_; ++i) {
        before.push_back(ToScreenColor(swatches_[static_cast<size_t>(start) + i]->color()).Value());
        after.push_back(colors[i].Value());
    }
    if (before != after)
        undo_->push(new ReplaceColorsCommand(this, start, std::move(before), std::move(after), text));
}

void PalEdit::applyColors(int start, const std::vector<uint32_t>& values)
{
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t index = static_cast<size_t>(start) + i;
        if (index < swatches_.size())
            swatches_[index]->setColor(ToQColor(zorp::ScreenColor::FromValue(values[i])));
    }
    // The sliders follow the selected swatch, wherever it is.
    showSwatchInSliders(SelectedSwatch());
}

bool PalEdit::ImportPalette()
{
    if (shownCount_ == 0)
        return false;
    FileDialogRequest request;
    request.title = QStringLiteral("Import Palette");
    request.filter = QStringLiteral("Palette files (*.bin; *.pal; *.gpl; *.png)|*.bin;*.pal;*.gpl;*.png|") +
                     kPaletteFilters;
    request.mustExist = true;
    if (!platform_.files)
        return false;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return false;
    return ImportPaletteFile(chosen.path);
}

bool PalEdit::ImportPaletteFile(const QString& path)
{
    if (shownCount_ == 0 || !rowInTable(previousRow_))
        return false;
    const zorp::PaletteFileRead read = ReadPaletteFileAt(ToBytes(path));
    if (!read.ok()) {
        ask({"Palette Not Imported",
             QString("The palette file\n%1\ncould not be read: %2\nThe palette was not changed.")
                 .arg(path, QString::fromStdString(read.error)),
             Icon::Critical, Buttons::Ok});
        return false;
    }
    const auto fileFormat = zorp::PaletteFileFormatOfPath(ToBytes(path));
    const QString description = QStringLiteral("%1 (%2)").arg(
        QFileInfo(path).fileName(), QString::fromStdString(zorp::PaletteFileFormatName(*fileFormat)));
    frmPaletteImport dialog(description, read.colors, shownColors(), format(), SelectedLine(), this);
    if (!runImport_(dialog))
        return false;
    const zorp::PaletteImport& result = dialog.result();
    if (!result.ok())
        return false;
    replaceColors(result.start,
                  std::vector<zorp::ScreenColor>(result.colors.begin() + result.start,
                                                 result.colors.begin() + result.start + result.placed),
                  QStringLiteral("Import Palette"));
    return true;
}

bool PalEdit::ExportPalette()
{
    if (shownCount_ == 0 || !rowInTable(previousRow_) || !platform_.files)
        return false;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export Palette");
    request.filter = kPaletteFilters;
    request.fileName = names_[previousRow_] + kPaletteExtensions[0];
    request.confirmOverwrite = true;
    const FileDialogResult chosen = platform_.files->run(this, request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return false;
    QString path = chosen.path;
    // A name without a known extension takes the chosen filter's.
    if (!zorp::PaletteFileFormatOfPath(ToBytes(path)))
        path += kPaletteExtensions[std::clamp(chosen.filterIndex, 1, 4) - 1];
    return ExportPaletteFile(path);
}

bool PalEdit::ExportPaletteFile(const QString& path)
{
    if (shownCount_ == 0 || !rowInTable(previousRow_))
        return false;
    const std::string error = WritePaletteFileAt(ToBytes(path), shownColors(), ToBytes(names_[previousRow_]));
    if (!error.empty()) {
        ask({"Palette Not Exported",
             QString("The palette could not be written to\n%1\n(%2)").arg(path, QString::fromStdString(error)),
             Icon::Critical, Buttons::Ok});
        return false;
    }
    return true;
}

void PalEdit::CopyLine()
{
    const int line = SelectedLine();
    if (line < 0)
        return;
    const std::vector<zorp::ScreenColor> colors = shownColors();
    const auto first = colors.begin() + line * zorp::kColorsPerLine;
    const auto last = colors.begin() + std::min<int>(static_cast<int>(colors.size()), (line + 1) * zorp::kColorsPerLine);
    const std::vector<uint8_t> text = zorp::WriteJascPalFile({first, last});
    QGuiApplication::clipboard()->setText(QString::fromLatin1(reinterpret_cast<const char*>(text.data()),
                                                              static_cast<qsizetype>(text.size())));
}

bool PalEdit::PasteLine()
{
    const int line = SelectedLine();
    if (line < 0)
        return false;
    const zorp::PaletteFileRead read = zorp::ReadPaletteText(QGuiApplication::clipboard()->text().toStdString());
    const zorp::PaletteImport result =
        read.ok() ? zorp::PlaceImportedColors(shownColors(), read.colors, format(), {line, -1}) : zorp::PaletteImport{};
    if (!read.ok() || !result.ok()) {
        ask({"Cannot Paste Line",
             QStringLiteral("The clipboard holds no palette line (copy one with Copy Line, or copy the text of a "
                            "JASC-PAL or GIMP palette).\n") +
                 QString::fromStdString(read.ok() ? result.error : read.error),
             Icon::Exclamation, Buttons::Ok});
        return false;
    }
    replaceColors(result.start,
                  std::vector<zorp::ScreenColor>(result.colors.begin() + result.start,
                                                 result.colors.begin() + result.start + result.placed),
                  QStringLiteral("Paste Line"));
    return true;
}

// ---- Modified flag -------------------------------------------------------------------------

bool PalEdit::PaletteModified() const { return baseModified_ || !undo_->isClean(); }

void PalEdit::setPaletteModified(bool modified)
{
    baseModified_ = modified;
    if (!modified)
        undo_->setClean();
    notifyModified();
}

void PalEdit::startNewHistory()
{
    undo_->clear();
    baseModified_ = false;
    notifyModified();
}

void PalEdit::notifyModified()
{
    const bool modified = PaletteModified();
    if (modified == reportedModified_)
        return;
    reportedModified_ = modified;
    emit PaletteModifiedChanged(modified);
}

Answer PalEdit::ask(const MessageRequest& request)
{
    return Ask(platform_, this, request);
}

} // namespace zorp::ui
