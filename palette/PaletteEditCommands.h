#pragma once
// A colour change of one swatch of the palette editor, as an undo command.
// Consecutive slider moves on the same swatch merge into one command.
// An import or a pasted line replaces a run of swatches as one command.
#include <QUndoCommand>
#include <cstdint>
#include <vector>

namespace zorp::ui {

class PalEdit;

class ChangeSwatchColorCommand : public QUndoCommand {
public:
    ChangeSwatchColorCommand(PalEdit* editor, int swatch, uint32_t before, uint32_t after, const QString& text,
                             bool mergeable);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    PalEdit* editor_;
    int swatch_;
    uint32_t before_; // colour values R + 256 G + 65536 B
    uint32_t after_;
    bool mergeable_;
};

class ReplaceColorsCommand : public QUndoCommand {
public:
    ReplaceColorsCommand(PalEdit* editor, int start, std::vector<uint32_t> before, std::vector<uint32_t> after,
                         const QString& text);
    void undo() override;
    void redo() override;

private:
    PalEdit* editor_;
    int start_;
    std::vector<uint32_t> before_; // colour values R + 256 G + 65536 B
    std::vector<uint32_t> after_;
};

} // namespace zorp::ui
