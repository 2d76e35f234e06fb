#pragma once
// The one undo command of the stage editors: it owns a DocumentEdit (core
// stage document) and replays it. Merging and dropping empty edits follow
// the edit's own rules, so every editor's history behaves alike.
#include <QUndoCommand>
#include <memory>

#include "stage/StageDocument.h"

class QUndoStack;

namespace zorp::ui {

class EditCommand : public QUndoCommand {
public:
    explicit EditCommand(std::unique_ptr<zorp::DocumentEdit> edit);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    const zorp::DocumentEdit& edit() const { return *edit_; }

private:
    std::unique_ptr<zorp::DocumentEdit> edit_;
};

// Pushes the edit (which applies it) unless it changes nothing; false then.
bool PushEdit(QUndoStack* stack, std::unique_ptr<zorp::DocumentEdit> edit);

} // namespace zorp::ui
