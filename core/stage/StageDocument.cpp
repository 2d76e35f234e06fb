#include "stage/StageDocument.h"

#include <algorithm>

namespace zorp {

namespace {
// Merge keys of the shared edits; formats number theirs from 0x100 on.
constexpr int kCellsMergeKey = 1;
} // namespace

int StageDocument::Observe(Observer observer)
{
    const int id = nextId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void StageDocument::StopObserving(int id)
{
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void StageDocument::Notify(const DocumentChange& change) const
{
    // A copy: an observer may stop observing while it is told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers)
        observer(change);
}

CellsEdit::CellsEdit(GridDocument& document, int stage, std::vector<Change> changes, std::string text, int stroke)
    : document_(document), stage_(stage), changes_(std::move(changes)), text_(std::move(text)), stroke_(stroke)
{
    std::erase_if(changes_, [](const Change& c) { return c.before == c.after; });
}

std::vector<CellsEdit::Change> CellsEdit::Setting(const GridDocument& document, int stage,
                                                  const std::vector<int>& cells, uint8_t value)
{
    std::vector<Change> changes;
    changes.reserve(cells.size());
    for (int index : cells)
        if (index >= 0 && index < document.CellCount())
            changes.push_back({index, document.Cell(stage, index), value});
    return changes;
}

void CellsEdit::Redo()
{
    std::vector<std::pair<int, uint8_t>> cells;
    cells.reserve(changes_.size());
    for (const Change& c : changes_)
        cells.emplace_back(c.index, c.after);
    document_.SetCells(stage_, cells);
}

void CellsEdit::Undo()
{
    std::vector<std::pair<int, uint8_t>> cells;
    cells.reserve(changes_.size());
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
        cells.emplace_back(it->index, it->before);
    document_.SetCells(stage_, cells);
}

int CellsEdit::MergeKey() const { return stroke_ != 0 ? kCellsMergeKey : 0; }

bool CellsEdit::MergeWith(const DocumentEdit& next)
{
    const auto* more = dynamic_cast<const CellsEdit*>(&next);
    if (!more || more->stroke_ != stroke_ || more->stage_ != stage_ || &more->document_ != &document_)
        return false;
    for (const Change& change : more->changes_) {
        auto same = std::find_if(changes_.begin(), changes_.end(),
                                 [&](const Change& c) { return c.index == change.index; });
        if (same != changes_.end())
            same->after = change.after; // the value from before the stroke stays
        else
            changes_.push_back(change);
    }
    return true;
}

namespace {

// The rectangle cut to the grid.
GridRect Clipped(const GridDocument& document, GridRect rect)
{
    const int left = std::max(rect.column, 0);
    const int top = std::max(rect.row, 0);
    const int right = std::min(rect.column + std::max(rect.columns, 0), document.Columns());
    const int bottom = std::min(rect.row + std::max(rect.rows, 0), document.Rows());
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

} // namespace

GridClip CopyCells(const GridDocument& document, int stage, GridRect rect)
{
    const GridRect r = Clipped(document, rect);
    GridClip clip;
    if (r.empty())
        return clip;
    clip.columns = r.columns;
    clip.rows = r.rows;
    for (int y = 0; y < r.rows; ++y)
        for (int x = 0; x < r.columns; ++x)
            clip.cells.push_back(document.Cell(stage, (r.row + y) * document.Columns() + r.column + x));
    return clip;
}

std::vector<CellsEdit::Change> PasteChanges(const GridDocument& document, int stage, int column, int row,
                                            const GridClip& clip)
{
    std::vector<CellsEdit::Change> changes;
    if (clip.cells.size() != static_cast<size_t>(clip.columns) * static_cast<size_t>(clip.rows))
        return changes;
    for (int y = 0; y < clip.rows; ++y)
        for (int x = 0; x < clip.columns; ++x) {
            if (!document.IsCell(column + x, row + y))
                continue;
            const int index = (row + y) * document.Columns() + column + x;
            changes.push_back({index, document.Cell(stage, index), clip.cells[static_cast<size_t>(y * clip.columns + x)]});
        }
    return changes;
}

std::vector<CellsEdit::Change> FillChanges(const GridDocument& document, int stage, GridRect rect, uint8_t value)
{
    const GridRect r = Clipped(document, rect);
    std::vector<int> cells;
    for (int y = 0; y < r.rows; ++y)
        for (int x = 0; x < r.columns; ++x)
            cells.push_back((r.row + y) * document.Columns() + r.column + x);
    return CellsEdit::Setting(document, stage, cells, value);
}

} // namespace zorp
