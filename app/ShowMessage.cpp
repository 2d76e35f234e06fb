#include "ShowMessage.h"

namespace zorp::ui {

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

MessageRequest ToRequest(const Message& message, Buttons buttons)
{
    return {FromBytes(message.title), FromBytes(message.text()), ToIcon(message.icon), buttons};
}

Answer ShowMessage(const Platform& platform, QWidget* parent, const Message& message, Buttons buttons)
{
    return platform.messages->show(parent, ToRequest(message, buttons));
}

} // namespace zorp::ui
