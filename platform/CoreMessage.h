#pragma once
// The bridge between the core and the windows: core messages shown through
// the platform's message boxes, and file paths handed to the core.
#include <QString>

#include <string>

#include "Platform.h"
#include "rom/Message.h"

namespace zorp::ui {

Icon ToIcon(MessageIcon icon);

// A core message as a message box request. Message texts are UTF-8: they
// carry file paths and lines of templates as the user's files hold them.
MessageRequest ToRequest(const Message& message, Buttons buttons = Buttons::Ok);
Answer ShowMessage(const Platform& platform, QWidget* parent, const Message& message,
                   Buttons buttons = Buttons::Ok);

// Paths are the file system's own bytes (UTF-8 on Linux), unlike the
// byte-carrying texts of ROMs (FromBytes/ToBytes, Latin-1): a path with
// non-ASCII characters must survive the trip unchanged.
std::string ToNativePath(const QString& path);
QString FromNativePath(const std::string& path);

} // namespace zorp::ui
