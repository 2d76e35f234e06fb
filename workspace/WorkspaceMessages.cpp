#include "WorkspaceMessages.h"

namespace zorp::ui {

namespace {

Icon ToIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return Icon::Critical;
    case MessageIcon::Exclamation: return Icon::Exclamation;
    case MessageIcon::Question: return Icon::Question;
    case MessageIcon::Information: return Icon::Information;
    case MessageIcon::None: break;
    }
    return Icon::None;
}

} // namespace

MessageRequest CoreMessageRequest(const Message& message, Buttons buttons)
{
    return {FromBytes(message.title), FromBytes(message.text()), ToIcon(message.icon), buttons};
}

void ShowCoreMessage(const Platform& platform, QWidget* parent, const Message& message)
{
    platform.messages->show(parent, CoreMessageRequest(message));
}

void ShowFileError(const Platform& platform, QWidget* parent, const QString& title, const QString& path,
                   const QString& reason)
{
    platform.messages->show(parent, {title, path + QStringLiteral("\n") + reason, Icon::Critical, Buttons::Ok});
}

} // namespace zorp::ui
