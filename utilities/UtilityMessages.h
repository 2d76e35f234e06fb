#pragma once
// Core messages shown through the platform's message boxes. The utilities'
// messages carry file paths (UTF-8, as the file system gives them) and plain
// ASCII texts, never header bytes.
#include <QString>
#include <string>

#include "Platform.h"
#include "rom/Message.h"

namespace zorp::ui {
// The inline namespace keeps these symbols apart from the workspace's helpers
// of the same name when one program links both libraries.
inline namespace utilities {

MessageRequest ToMessageRequest(const Message& message);
Answer ShowCoreMessage(const Platform& platform, QWidget* parent, const Message& message);

// File system paths between Qt and the core.
std::string ToFsPath(const QString& path);
QString FromFsPath(const std::string& path);

} // namespace utilities
} // namespace zorp::ui
