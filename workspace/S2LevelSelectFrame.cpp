#include "S2LevelSelectFrame.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ActionAccess.h"
#include "FrameTag.h"

namespace zorp::ui {

namespace {

constexpr int kCell = 12; // pixels per map cell in the picture

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Name edits: a line with the font's letters only, no longer than the
// name's field on the screen.
class NameDelegate : public QStyledItemDelegate {
public:
    explicit NameDelegate(S2LevelSelectFrame* frame) : QStyledItemDelegate(frame), frame_(frame) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* line = new QLineEdit(parent);
        line->setObjectName(QStringLiteral("txtS2Name"));
        line->setAccessibleName(QStringLiteral("Level select name"));
        line->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9A-Za-z *\u00A9:.]*")), line));
        if (frame_->model())
            line->setMaxLength(frame_->model()->Names()[static_cast<size_t>(index.row())].fieldLength());
        return line;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QLineEdit*>(editor)->setText(index.data().toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        frame_->SetName(index.row(), static_cast<QLineEdit*>(editor)->text());
    }

private:
    S2LevelSelectFrame* frame_;
};

// Order edits: a choice among the destinations the game has.
class OrderDelegate : public QStyledItemDelegate {
public:
    explicit OrderDelegate(S2LevelSelectFrame* frame) : QStyledItemDelegate(frame), frame_(frame) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("cboS2Destination"));
        combo->setAccessibleName(QStringLiteral("Starts"));
        for (uint16_t destination : S2Destinations())
            combo->addItem(Text(S2DestinationName(destination)), destination);
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        const uint16_t current = frame_->model()->Order(static_cast<size_t>(index.row()));
        int at = combo->findData(current);
        if (at < 0) { // a value the list does not offer stays choosable
            combo->addItem(Text(S2DestinationName(current)), current);
            at = combo->count() - 1;
        }
        combo->setCurrentIndex(at);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        frame_->SetOrder(index.row(), static_cast<uint16_t>(combo->currentData().toUInt()));
    }

private:
    S2LevelSelectFrame* frame_;
};

QTableWidget* NewTable(QWidget* parent, const QString& name, const QString& accessible, const QStringList& headers)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessible);
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    MakeItemsChoosable(table);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

QTableWidgetItem* Item(const QString& text, bool editable)
{
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

S2LevelSelectFrame::S2LevelSelectFrame(QWidget* parent)
    : EditorFrame(QStringLiteral("fraS2LvlSelect"), QStringLiteral("Level Select"), parent),
      names_(NewTable(this, QStringLiteral("lstS2Names"), QStringLiteral("Level select names"),
                      {QStringLiteral("Name"), QStringLiteral("Letters")})),
      order_(NewTable(this, QStringLiteral("lstS2Order"), QStringLiteral("Level select order"),
                      {QStringLiteral("Entry"), QStringLiteral("Starts")})),
      preview_(new S2LevelSelectPreview(this)),
      warning_(new QLabel(this))
{
    names_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    names_->setItemDelegateForColumn(0, new NameDelegate(this));
    order_->setItemDelegateForColumn(1, new OrderDelegate(this));
    warning_->setObjectName(QStringLiteral("lblS2LevelSelectWarning"));
    warning_->setAccessibleName(QStringLiteral("Level select warning"));
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto* tables = new QSplitter(Qt::Horizontal, this);
    tables->setObjectName(QStringLiteral("splS2LevelSelect"));
    tables->addWidget(names_);
    tables->addWidget(order_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(preview_, 0, Qt::AlignHCenter);
    layout->addWidget(warning_);
    layout->addWidget(tables, 1);

    connect(names_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (model_ && row >= 0 && static_cast<size_t>(row) < model_->Names().size())
            preview_->setEntry(model_->Names()[static_cast<size_t>(row)].entries.front());
    });
    connect(order_, &QTableWidget::currentCellChanged, this, [this](int row) { preview_->setEntry(row); });
    setEnabled(false);
}

S2LevelSelectFrame::~S2LevelSelectFrame() = default;

QSize S2LevelSelectFrame::designedSize() const { return {kS2LevelSelectColumns * kCell + 24, 640}; }

void S2LevelSelectFrame::Clear()
{
    EditorFrame::Clear();
    load_.reset();
    Show(std::nullopt);
    modified_ = false;
}

void S2LevelSelectFrame::Setup(const S2LevelSelectSetup& setup)
{
    setup_ = setup;
    SetTag(this, QString::number(setup.map.pointer));
}

std::optional<Message> S2LevelSelectFrame::Load(const ByteSource& rom, const CodecCalls& codec)
{
    codecs_ = codec;
    S2LevelSelectLoad load = LoadS2LevelSelect(setup_, rom, codec);
    if (!load.ok()) {
        load_.reset();
        Show(std::nullopt, Text(load.error->text()));
        return load.error;
    }
    Show(load.model);
    load_ = std::move(load);
    return std::nullopt;
}

void S2LevelSelectFrame::Declare(FreeSpaceAllocator& allocator)
{
    if (load_)
        DeclareS2LevelSelect(setup_, *load_, allocator);
}

RelocatingPlan S2LevelSelectFrame::Plan(FreeSpaceAllocator& allocator, bool mayGrow)
{
    BusyCursor busy;
    return ToRelocatingPlan(PlanS2LevelSelectSave(setup_, *load_, *model_, codecs_, allocator, mayGrow), placements_);
}

void S2LevelSelectFrame::Show(const std::optional<S2LevelSelect>& model, const QString& reason)
{
    model_ = model;
    modified_ = false;
    preview_->setModel(model_ ? &*model_ : nullptr);
    setEnabled(model_.has_value());
    ShowModel();
    if (!model_)
        warning_->setText(reason);
}

void S2LevelSelectFrame::ShowModel()
{
    names_->setRowCount(0);
    order_->setRowCount(0);
    if (!model_)
        return;
    const auto& names = model_->Names();
    names_->setRowCount(static_cast<int>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
        names_->setItem(static_cast<int>(i), 0, Item(Text(model_->NameText(i)), true));
        names_->setItem(static_cast<int>(i), 1, Item(QString(), false));
    }
    order_->setRowCount(kS2LevelSelectEntries);
    for (int e = 0; e < kS2LevelSelectEntries; ++e) {
        order_->setItem(e, 0, Item(QString(), false));
        order_->setItem(e, 1, Item(Text(S2DestinationName(model_->Order(static_cast<size_t>(e)))), true));
    }
    ShowWarnings();
    names_->resizeColumnToContents(0);
    order_->resizeColumnToContents(0);
}

void S2LevelSelectFrame::ShowWarnings()
{
    const auto& names = model_->Names();
    for (size_t i = 0; i < names.size(); ++i) {
        const QString text = Text(model_->NameText(i));
        const bool longer = model_->LongerThanHighlight(i);
        QTableWidgetItem* letters = names_->item(static_cast<int>(i), 1);
        letters->setText(QStringLiteral("%1 of %2%3")
                             .arg(text.size())
                             .arg(names[i].fieldLength())
                             .arg(longer ? QStringLiteral(" - longer than the highlight") : QString()));
        letters->setForeground(longer ? QColor(0xb0, 0, 0) : names_->palette().text().color());
    }
    for (int e = 0; e < kS2LevelSelectEntries; ++e) {
        const S2LevelSelectMark& mark = model_->Marks()[static_cast<size_t>(e)];
        QString entry = Text(model_->NameText(model_->NameOfEntry(static_cast<size_t>(e))));
        if (mark.hasDigit())
            if (auto digit = S2LevelSelectLetter(model_->Cell(mark.digitRow, mark.digitColumn)))
                entry += QLatin1Char(' ') + QChar(static_cast<char16_t>(*digit));
        order_->item(e, 0)->setText(entry);
    }
    QStringList lines;
    for (const std::string& line : model_->Warnings())
        lines << Text(line);
    warning_->setText(lines.join(QLatin1Char('\n')));
    preview_->update();
}

bool S2LevelSelectFrame::SetName(int name, const QString& text)
{
    if (!model_ || name < 0 || static_cast<size_t>(name) >= model_->Names().size())
        return false;
    const std::string before = model_->NameText(static_cast<size_t>(name));
    const std::string error = model_->SetNameText(static_cast<size_t>(name), text.toStdString());
    if (!error.empty()) {
        if (refuse_)
            refuse_(Text(error));
    } else if (model_->NameText(static_cast<size_t>(name)) != before) {
        modified_ = true;
    }
    names_->item(name, 0)->setText(Text(model_->NameText(static_cast<size_t>(name))));
    ShowWarnings();
    return error.empty();
}

void S2LevelSelectFrame::SetOrder(int entry, uint16_t destination)
{
    if (!model_ || entry < 0 || entry >= kS2LevelSelectEntries)
        return;
    if (model_->Order(static_cast<size_t>(entry)) != destination) {
        model_->SetOrder(static_cast<size_t>(entry), destination);
        modified_ = true;
    }
    order_->item(entry, 1)->setText(Text(S2DestinationName(destination)));
}

S2LevelSelectPreview::S2LevelSelectPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picS2LevelSelect"));
    setAccessibleName(QStringLiteral("Level select screen"));
    setFixedSize(sizeHint());
}

QSize S2LevelSelectPreview::sizeHint() const
{
    return {kS2LevelSelectColumns * kCell, kS2LevelSelectRows * kCell};
}

void S2LevelSelectPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0x40));
    if (!model_)
        return;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(kCell - 1);
    font.setBold(true);
    painter.setFont(font);
    // The highlight: 14 tiles from the name's start and the act digit.
    if (entry_ >= 0 && entry_ < kS2LevelSelectEntries) {
        const S2LevelSelectMark& mark = model_->Marks()[static_cast<size_t>(entry_)];
        const QColor highlight(0x60, 0x60, 0x00);
        painter.fillRect(mark.nameColumn * kCell, mark.nameRow * kCell, kS2HighlightTiles * kCell, kCell, highlight);
        if (mark.hasDigit())
            painter.fillRect(mark.digitColumn * kCell, mark.digitRow * kCell, kCell, kCell, highlight);
    }
    for (int row = 0; row < kS2LevelSelectRows; ++row) {
        for (int column = 0; column < kS2LevelSelectColumns; ++column) {
            const uint16_t cell = model_->Cell(row, column);
            const QRect box(column * kCell, row * kCell, kCell, kCell);
            if (auto letter = S2LevelSelectLetter(cell)) {
                if (*letter != U' ') {
                    painter.setPen(Qt::white);
                    painter.drawText(box, Qt::AlignCenter, QString(QChar(static_cast<char16_t>(*letter))));
                }
            } else if ((cell & 0x6000) == 0x6000) {
                // The zone picture's frame (palette line 3).
                painter.fillRect(box.adjusted(1, 1, -1, -1), QColor(0x50, 0x70, 0xa0));
            }
        }
    }
}

void S2LevelSelectFrame::Saved(const Bytes& image)
{
    placements_.clear();
    modified_ = false;
    if (!load_)
        return;
    auto load = LoadS2LevelSelect(setup_, ImageSource(image), codecs_);
    if (load.ok())
        load_ = std::move(load);
}

} // namespace zorp::ui
