#include "PlaylistFrame.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "FrameTag.h"
#include "Platform.h"
#include "TemplateModels.h"

namespace zorp::ui {

namespace {

constexpr int kCaptionX = 8;
constexpr int kCaptionWidth = 200;
constexpr int kTextX = 212;
constexpr int kTextWidth = 32;
constexpr int kBarX = 248;
constexpr int kBarWidth = 17;
constexpr int kWarningX = 270;
constexpr int kRowHeight = 20;

// The scroll bar of a row holds minus the song number: a vertical scroll bar
// grows downwards, and its upper arrow must raise the number. Inverted
// controls make the Up key and the wheel raise it as well.
int BarValue(int song) { return -song; }
int SongOf(int barValue) { return -barValue; }

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

} // namespace

PlaylistFrame::PlaylistFrame(QWidget* parent)
    : EditorFrame(QStringLiteral("fraPlaylist"), QStringLiteral("Playlist"), parent),
      viewport_(new QWidget(this)),
      panel_(new QWidget(viewport_)),
      panelScroll_(new QScrollBar(Qt::Vertical, this))
{
    viewport_->setObjectName(QStringLiteral("picPlaylistView"));
    panel_->setObjectName(QStringLiteral("picPlaylistScroll"));
    panel_->setAccessibleName(QStringLiteral("Playlist slots"));
    panelScroll_->setObjectName(QStringLiteral("vscPlaylistScroll"));
    panelScroll_->setAccessibleName(QStringLiteral("Scroll the playlist"));
    panelScroll_->setRange(0, 0);
    panelScroll_->setEnabled(false);
    connect(panelScroll_, &QScrollBar::valueChanged, this, [this](int value) { panel_->move(0, -value); });
    resize(designedSize());
}

PlaylistFrame::~PlaylistFrame() = default;

void PlaylistFrame::resizeEvent(QResizeEvent* event)
{
    EditorFrame::resizeEvent(event);
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    viewport_->setGeometry(0, 0, std::max(0, width() - barWidth), height());
    panelScroll_->setGeometry(width() - barWidth, 0, barWidth, height());
    panel_->resize(viewport_->width(), panel_->height());
    UpdatePanelScroll();
}

void PlaylistFrame::RemoveRows()
{
    for (const Row& row : rows_) {
        delete row.caption;
        delete row.text;
        delete row.bar;
        delete row.warning;
    }
    rows_.clear();
}

void PlaylistFrame::Clear()
{
    EditorFrame::Clear();
    RemoveRows();
    model_.reset();
    modified_ = false;
    panel_->resize(panel_->width(), 0);
    panelScroll_->setValue(0);
    panelScroll_->setRange(0, 0);
    panelScroll_->setEnabled(false);
}

void PlaylistFrame::Setup(const PlaylistSetup& setup)
{
    RemoveRows();
    model_ = std::make_unique<PlaylistModel>(setup);
    SetTag(this, FromBytes(FrameTag(setup)));

    const int low = std::min(setup.minSong, setup.maxSong);
    const int high = setup.maxSong;
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < model_->RowCount(); ++i) {
        const QString n = QString::number(i);
        const QString caption = FromBytes(model_->Caption(i));
        const int y = kRowPitch * i;
        Row row;
        row.caption = new QLabel(caption, panel_);
        row.caption->setObjectName(QStringLiteral("lblPlaylist_") + n);
        row.caption->setAccessibleName(caption);
        row.caption->setProperty("Tag", QString::number(model_->Offset(i)));
        row.caption->setGeometry(kCaptionX, y + 2, kCaptionWidth, kRowHeight - 2);

        row.text = new QLineEdit(panel_);
        row.text->setObjectName(QStringLiteral("txtPlaylist_") + n);
        row.text->setAccessibleName(caption + QStringLiteral(" song number"));
        row.text->setReadOnly(true);
        row.text->setAlignment(Qt::AlignCenter);
        row.text->setGeometry(kTextX, y, kTextWidth, kRowHeight);

        row.bar = new QScrollBar(Qt::Vertical, panel_);
        row.bar->setObjectName(QStringLiteral("vscPlaylist_") + n);
        row.bar->setAccessibleName(caption + QStringLiteral(" song"));
        row.bar->setRange(BarValue(high), BarValue(low));
        row.bar->setSingleStep(1);
        row.bar->setPageStep(1);
        row.bar->setInvertedControls(true);
        row.bar->setGeometry(kBarX, y, kBarWidth, kRowHeight);

        row.warning = new QLabel(panel_);
        row.warning->setObjectName(QStringLiteral("imgPlaylistWarning_") + n);
        row.warning->setPixmap(warningIcon.pixmap(16, 16));
        row.warning->setGeometry(kWarningX, y + 2, 16, 16);
        row.warning->hide();

        rows_ << row;
        connect(row.bar, &QScrollBar::valueChanged, this, [this, i](int value) { SongChanged(i, value); });
        row.bar->setValue(BarValue(model_->Song(i)));
        row.text->setText(Hex2(model_->Song(i)));
        row.caption->show();
        row.text->show();
        row.bar->show();
    }
    // The panel ends at the bottom edge of the last caption.
    const int panelHeight = rows_.isEmpty() ? 0 : rows_.last().caption->geometry().bottom() + 1;
    panel_->setGeometry(0, 0, viewport_->width(), panelHeight);
    panelScroll_->setValue(0);
    UpdatePanelScroll();
    modified_ = false; // setting the rows' first values is no edit
}

void PlaylistFrame::UpdatePanelScroll()
{
    const int excess = panel_->height() - viewport_->height();
    panelScroll_->setRange(0, std::max(0, excess));
    panelScroll_->setEnabled(excess > 0);
    panelScroll_->setPageStep(std::max(1, viewport_->height()));
    panelScroll_->setSingleStep(kRowPitch);
}

void PlaylistFrame::Load(const ByteSource& rom)
{
    if (!model_)
        return;
    model_->Load(rom);
    modified_ = false;
    const PlaylistSetup& setup = model_->Setup();
    for (int i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        {
            const QSignalBlocker block(row.bar);
            row.bar->setValue(BarValue(model_->Song(i)));
        }
        row.text->setText(FromBytes(PlaylistModel::SongText(model_->Song(i))));
        QString tip;
        if (model_->WasClamped(i)) {
            const int64_t offset = int64_t{setup.startAddress} + model_->Offset(i);
            const Bytes stored = offset >= 0 ? rom.Read(static_cast<uint64_t>(offset), 1) : Bytes{0};
            const int value = stored.empty() ? 0 : stored[0];
            tip = QStringLiteral("Stored value 0x%1 was outside %2..%3; shown as %4.")
                      .arg(Hex2(value), Hex2(setup.minSong), Hex2(setup.maxSong),
                           FromBytes(PlaylistModel::SongText(model_->Song(i))));
        }
        row.warning->setVisible(!tip.isEmpty());
        row.warning->setToolTip(tip);
        row.warning->setAccessibleName(tip);
        row.caption->setToolTip(tip);
        row.text->setToolTip(tip);
    }
}

void PlaylistFrame::SongChanged(int row, int value)
{
    if (!model_ || row >= rows_.size())
        return;
    model_->SetSong(row, SongOf(value));
    modified_ = true;
    Row& r = rows_[row];
    r.text->setText(FromBytes(PlaylistModel::SongText(model_->Song(row))));
    // The user chose a value: the note about the stored one no longer applies.
    r.warning->hide();
    r.warning->setToolTip(QString());
    r.caption->setToolTip(QString());
    r.text->setToolTip(QString());
}

int PlaylistFrame::song(int row) const { return model_ ? model_->Song(row) : 0; }

std::optional<Patch> PlaylistFrame::BlockPatch(const ByteSource& rom) const
{
    if (!model_)
        return std::nullopt;
    std::optional<Patch> write = model_->PlanWrite(rom);
    if (!write)
        return std::nullopt;
    return Patch{write->offset, std::move(write->bytes)};
}

} // namespace zorp::ui
