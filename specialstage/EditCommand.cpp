#include "specialstage/EditCommand.h"

#include <QString>
#include <QUndoStack>

namespace zorp::ui {

EditCommand::EditCommand(std::unique_ptr<zorp::DocumentEdit> edit)
    : QUndoCommand(QString::fromStdString(edit->Text())), edit_(std::move(edit))
{
}

void EditCommand::redo() { edit_->Redo(); }
void EditCommand::undo() { edit_->Undo(); }

int EditCommand::id() const
{
    const int key = edit_->MergeKey();
    return key != 0 ? key : -1;
}

bool EditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const EditCommand*>(other);
    if (!next || !edit_->MergeWith(*next->edit_))
        return false;
    setObsolete(edit_->Empty());
    return true;
}

bool PushEdit(QUndoStack* stack, std::unique_ptr<zorp::DocumentEdit> edit)
{
    if (!edit || edit->Empty())
        return false;
    stack->push(new EditCommand(std::move(edit)));
    return true;
}

} // namespace zorp::ui
