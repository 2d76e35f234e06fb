#include "palette/PalEdit.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QUndoStack>
#include <algorithm>

#include "palette/ChannelLabel.h"
#include "palette/PaletteEditCommands.h"
#include "palette/PaletteModel.h"
#include "palette/PaletteSwatch.h"
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
      runMenu_([](QMenu* menu, QPoint at) { return menu->exec(at); })
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
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    connect(list_, &QListWidget::currentRowChanged, this, &PalEdit::onRowChanged);

    settings_ = new QWidget(this);
    settings_->setObjectName("picColorSettings");
    settings_->setAccessibleName("picColorSettings");

    for (int channel = 0; channel < 3; ++channel) {
        auto* label = new ChannelLabel(settings_);
        label->setObjectName(QString("lblColor_%1").arg(channel));
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
    const int bottomHeight = h - top;
    const int listWidth = (w - kGap) * 9 / 20;
    list_->setGeometry(0, top, listWidth, bottomHeight);
    const int settingsX = listWidth + kGap;
    const int settingsWidth = w - settingsX;
    settings_->setGeometry(settingsX, top, settingsWidth, bottomHeight);

    constexpr int rowHeight = 22;
    constexpr int labelWidth = 24;
    for (int channel = 0; channel < 3; ++channel) {
        const int y = channel * rowHeight;
        labels_[channel]->setGeometry(0, y, labelWidth, rowHeight);
        sliders_[channel]->setGeometry(labelWidth + kGap, y, settingsWidth - labelWidth - kGap, rowHeight);
    }
    const int previewTop = 3 * rowHeight + kGap;
    // A swatch-sized sample, not a wall of colour when the frame is stretched.
    constexpr int kPreviewMaxHeight = 80;
    preview_->setGeometry(kGap, previewTop, settingsWidth - kGap,
                          std::clamp(bottomHeight - previewTop, 8, kPreviewMaxHeight));
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

void PalEdit::onSwatchClicked(int index) { showSwatchInSliders(index); }

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
    for (int channel = 0; channel < 3; ++channel)
        labels_[channel]->setText(QString::number(sliders_[channel]->value()));
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
