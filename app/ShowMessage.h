#pragma once
// Shows a core Message (title, icon, lines) through the platform's message
// boxes.
#include "Platform.h"
#include "rom/Message.h"

namespace zorp::ui {

Icon ToIcon(MessageIcon icon);

MessageRequest ToRequest(const Message& message, Buttons buttons = Buttons::Ok);

Answer ShowMessage(const Platform& platform, QWidget* parent, const Message& message,
                   Buttons buttons = Buttons::Ok);

} // namespace zorp::ui
