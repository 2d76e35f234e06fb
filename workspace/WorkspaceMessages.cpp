#include "WorkspaceMessages.h"

namespace zorp::ui {

void ShowFileError(const Platform& platform, QWidget* parent, const QString& title, const QString& path,
                   const QString& reason)
{
    platform.messages->show(parent, {title, path + QStringLiteral("\n") + reason, Icon::Critical, Buttons::Ok});
}

} // namespace zorp::ui
