#pragma once
// fraLvlSelect: the level select names in the one-column list
// lstLevelSelect, edited in place. The names live in a LevelSelectTable; the
// list shows them and hands every finished edit to the table, which cuts,
// pads and upper-cases it.
#include <memory>
#include <string>
#include <vector>

#include "EditorFrame.h"
#include "rom/Bytes.h"
#include "TemplateModels.h"

class QTreeWidget;

namespace zorp {
class ByteSource;
class LevelSelectTable;
} // namespace zorp

namespace zorp::ui {

class LevelNameDelegate;

class LevelSelectFrame : public EditorFrame {
    Q_OBJECT
public:
    explicit LevelSelectFrame(QWidget* parent);
    ~LevelSelectFrame() override;

    QSize designedSize() const override;
    bool stretches() const override { return true; }
    void Clear() override;

    // Sets the frame up from the template: one empty row per level.
    void Setup(const LevelSelectSetup& setup);
    // Reads every name from the ROM.
    void Load(const ByteSource& rom);
    // Set by Load when the decode table keeps letter case ("C++").
    bool DecodeTableIsCpp() const { return decodeTableIsCpp_; }
    // The writes that store every name; rowsPastEnd gets the 0-based rows
    // that would reach past the end of the file and are left out.
    std::vector<Patch> Patches(uint64_t fileSize, std::vector<int>& rowsPastEnd) const;

    // True after a name was changed since the last load or save.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // A name still in its edit box is taken into the table (before a save),
    // or thrown away (before the names are read again), so neither the save
    // nor the reload is undone by the edit box later.
    void CommitOpenEdit();
    void DiscardOpenEdit();

    QTreeWidget* list() const { return list_; }

private:
    void NameEdited(int row, const QString& text);
    void ShowNames();

    QTreeWidget* list_;
    LevelNameDelegate* delegate_;
    std::unique_ptr<LevelSelectTable> table_;
    bool decodeTableIsCpp_ = false;
    bool modified_ = false;
    int columnWidth_ = 16;

    friend class LevelNameDelegate;
};

} // namespace zorp::ui
