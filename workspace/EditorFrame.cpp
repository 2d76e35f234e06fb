#include "EditorFrame.h"

#include "FrameTag.h"

namespace zorp::ui {

EditorFrame::EditorFrame(const QString& name, const QString& accessibleName, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setFrameShape(QFrame::NoFrame);
    SetTag(this, QString());
    hide();
}

void EditorFrame::Clear()
{
    SetTag(this, QString());
    hide();
}

bool EditorFrame::active() const { return IsActive(this); }

} // namespace zorp::ui
