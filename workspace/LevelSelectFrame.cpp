#include "LevelSelectFrame.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ActionAccess.h"
#include "FrameTag.h"
#include "Platform.h"
#include "TemplateModels.h"

namespace zorp::ui {

// Commits an edited name through the table, so the list always shows the
// name exactly as it will be written (cut or padded to the row's length).
class LevelNameDelegate : public QStyledItemDelegate {
public:
    LevelNameDelegate(LevelSelectFrame* frame) : QStyledItemDelegate(frame), frame_(frame) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        openEditor_ = editor;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (openEditor_ == editor)
            openEditor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            frame_->NameEdited(index.row(), line->text());
    }

    // Closes the edit box still open, keeping or dropping its text.
    void finishOpenEditor(bool keep)
    {
        QWidget* editor = openEditor_;
        if (!editor)
            return;
        if (keep)
            emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

private:
    LevelSelectFrame* frame_;
    mutable QPointer<QWidget> openEditor_;
};

LevelSelectFrame::LevelSelectFrame(QWidget* parent)
    : EditorFrame(QStringLiteral("fraLvlSelect"), QStringLiteral("Level Select"), parent),
      list_(new QTreeWidget(this)),
      delegate_(nullptr)
{
    list_->setObjectName(QStringLiteral("lstLevelSelect"));
    list_->setAccessibleName(QStringLiteral("Level select names"));
    MakeItemsChoosable(list_);
    list_->setColumnCount(1);
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    delegate_ = new LevelNameDelegate(this);
    list_->setItemDelegate(delegate_);
    list_->header()->setStretchLastSection(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
}

LevelSelectFrame::~LevelSelectFrame() = default;

QSize LevelSelectFrame::designedSize() const
{
    // Room for the column, the list's border and its scroll bar.
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {columnWidth_ + scrollBar + 2 * list_->frameWidth() + 4, 320};
}

void LevelSelectFrame::Clear()
{
    DiscardOpenEdit();
    EditorFrame::Clear();
    list_->clear();
    table_.reset();
    decodeTableIsCpp_ = false;
    modified_ = false;
}

void LevelSelectFrame::Setup(const LevelSelectSetup& setup)
{
    table_ = std::make_unique<LevelSelectTable>(setup);
    SetTag(this, FromBytes(FrameTag(setup)));

    // 8 pixels per character plus 16, as designed for an 8-pixel fixed
    // font; a wider system font gets its own character width so names are
    // never cut off.
    const int charWidth = std::max(8, QFontMetrics(list_->font()).horizontalAdvance(QLatin1Char('W')));
    const int64_t width = int64_t{charWidth} * std::max(0, setup.longestLength) + 16;
    columnWidth_ = static_cast<int>(std::min<int64_t>(width, 4096));
    list_->setColumnWidth(0, columnWidth_);

    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const LevelEntry& level : setup.levels) {
        auto* item = new QTreeWidgetItem(QStringList{QString()});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setData(0, Qt::UserRole, FromBytes(RowTag(level)));
        items << item;
    }
    list_->addTopLevelItems(items);
}

void LevelSelectFrame::Load(const ByteSource& rom)
{
    if (!table_)
        return;
    table_->LoadNames(rom);
    modified_ = false;
    decodeTableIsCpp_ = table_->KeepsCase();
    ShowNames();
}

void LevelSelectFrame::ShowNames()
{
    for (int row = 0; row < table_->RowCount() && row < list_->topLevelItemCount(); ++row)
        list_->topLevelItem(row)->setText(0, FromBytes(table_->Name(row)));
}

void LevelSelectFrame::NameEdited(int row, const QString& text)
{
    if (!table_ || row < 0 || row >= table_->RowCount())
        return;
    const std::string before = table_->Name(row);
    const std::string& stored = table_->SetName(row, ToBytes(text));
    if (stored != before)
        modified_ = true;
    list_->topLevelItem(row)->setText(0, FromBytes(stored));
}

void LevelSelectFrame::CommitOpenEdit() { delegate_->finishOpenEditor(true); }

void LevelSelectFrame::DiscardOpenEdit() { delegate_->finishOpenEditor(false); }

std::vector<Patch> LevelSelectFrame::Patches(uint64_t fileSize, std::vector<int>& rowsPastEnd) const
{
    std::vector<Patch> patches;
    if (!table_)
        return patches;
    LevelSelectTable::WritePlan plan = table_->PlanWrites(fileSize);
    for (Patch& write : plan.writes)
        patches.push_back({write.offset, std::move(write.bytes)});
    rowsPastEnd.insert(rowsPastEnd.end(), plan.rowsPastEnd.begin(), plan.rowsPastEnd.end());
    return patches;
}

} // namespace zorp::ui
