#pragma once
// Stage documents: one Qt-free document per game format holds the stage data
// an editor shows. Every change a user makes is a DocumentEdit that acts on
// the document (the editor's undo history only keeps and replays them);
// views observe the document and redraw what its change notices name. A
// widget therefore keeps no stage data of its own and never changes the data
// behind the document's back.
//
// Adding a format: derive a document from StageDocument (or GridDocument for
// a grid of one-byte cells) holding that format's data, with setters that
// notify; write its edits as DocumentEdit subclasses (CellsEdit serves every
// grid); let the widget observe the document and push edits wrapped in
// the editor library's one undo command.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zorp {

// What changed, so that a view redraws no more than it must.
struct DocumentChange {
    enum class Kind {
        Cells,      // cells of a stage: `cells` lists their indices
        Start,      // the start position (and direction) of a stage
        Properties, // another value of a stage (a ring count, a requirement)
        Stage,      // a whole stage was replaced
        Document,   // everything (a new load)
    };
    Kind kind = Kind::Document;
    int stage = 0;
    std::vector<int> cells;
};

class StageDocument {
public:
    using Observer = std::function<void(const DocumentChange&)>;

    StageDocument() = default;
    StageDocument(const StageDocument&) = delete;
    StageDocument& operator=(const StageDocument&) = delete;
    virtual ~StageDocument() = default;

    virtual int StageCount() const = 0;

    // Observers are called after every change, in the order they came; the
    // returned id takes one away again.
    int Observe(Observer observer);
    void StopObserving(int id);

protected:
    void Notify(const DocumentChange& change) const;

private:
    std::vector<std::pair<int, Observer>> observers_;
    int nextId_ = 1;
};

// A document whose stages are grids of one-byte cells, row by row.
class GridDocument : public StageDocument {
public:
    virtual int Columns() const = 0;
    virtual int Rows() const = 0;
    int CellCount() const { return Columns() * Rows(); }
    bool IsCell(int column, int row) const { return column >= 0 && row >= 0 && column < Columns() && row < Rows(); }

    // Cells outside the grid or a stage outside the document read as 0 and
    // are not written.
    virtual uint8_t Cell(int stage, int index) const = 0;
    // Writes cells and notifies one Cells change for them.
    virtual void SetCells(int stage, const std::vector<std::pair<int, uint8_t>>& cells) = 0;
};

// One reversible change of a document. Redo applies it and Undo takes it
// back; both go through the document's setters, so its views hear of them.
class DocumentEdit {
public:
    virtual ~DocumentEdit() = default;
    virtual void Redo() = 0;
    virtual void Undo() = 0;
    // The name the undo history shows ("Place Rings").
    virtual std::string Text() const = 0;
    // Consecutive edits of the same non-zero key are offered to MergeWith,
    // which takes `next` into this edit (true) or refuses it.
    virtual int MergeKey() const { return 0; }
    virtual bool MergeWith(const DocumentEdit& next) { return false; }
    // True when the edit (after merging) changes nothing and can be dropped.
    virtual bool Empty() const { return false; }
};

// Cells of one stage set to new values: a paint stroke (edits of one stroke
// number merge), a fill, a paste, a cleared cell.
class CellsEdit : public DocumentEdit {
public:
    struct Change {
        int index = 0;
        uint8_t before = 0;
        uint8_t after = 0;
    };
    // Changes whose cell already holds `after` are dropped; stroke 0 never merges.
    CellsEdit(GridDocument& document, int stage, std::vector<Change> changes, std::string text, int stroke = 0);
    // The changes that set `cells` to value, taken from the document as it is.
    static std::vector<Change> Setting(const GridDocument& document, int stage, const std::vector<int>& cells,
                                       uint8_t value);

    void Redo() override;
    void Undo() override;
    std::string Text() const override { return text_; }
    int MergeKey() const override;
    bool MergeWith(const DocumentEdit& next) override;
    bool Empty() const override { return changes_.empty(); }

    int Stage() const { return stage_; }
    const std::vector<Change>& Changes() const { return changes_; }

private:
    GridDocument& document_;
    int stage_;
    std::vector<Change> changes_;
    std::string text_;
    int stroke_;
};

// A rectangle of cells, and cells copied out of one (row by row).
struct GridRect {
    int column = 0;
    int row = 0;
    int columns = 0;
    int rows = 0;
    bool empty() const { return columns <= 0 || rows <= 0; }
};
struct GridClip {
    int columns = 0;
    int rows = 0;
    std::vector<uint8_t> cells;
    bool empty() const { return cells.empty(); }
};
// The rectangle's cells (the part inside the grid).
GridClip CopyCells(const GridDocument& document, int stage, GridRect rect);
// The changes that put clip with its top-left cell at (column, row); cells
// that would fall off the grid are left out.
std::vector<CellsEdit::Change> PasteChanges(const GridDocument& document, int stage, int column, int row,
                                            const GridClip& clip);
// The changes that set every cell of the rectangle (inside the grid) to value.
std::vector<CellsEdit::Change> FillChanges(const GridDocument& document, int stage, GridRect rect, uint8_t value);

} // namespace zorp
