#pragma once
// The questions and messages of the workspace, shown through the platform's
// message boxes so tests can answer them.
#include <QString>

#include "Platform.h"
#include "rom/Message.h"

namespace zorp::ui {

// A core message as a message box request with the given buttons.
MessageRequest CoreMessageRequest(const Message& message, Buttons buttons = Buttons::Ok);

// Shows a core message (a template's MSGBOX, a refusal) with an OK button.
void ShowCoreMessage(const Platform& platform, QWidget* parent, const Message& message);

// Critical message about a ROM file that could not be read or written.
void ShowFileError(const Platform& platform, QWidget* parent, const QString& title, const QString& path,
                   const QString& reason);

} // namespace zorp::ui
