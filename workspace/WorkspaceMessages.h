#pragma once
// The questions and messages of the workspace, shown through the platform's
// message boxes so tests can answer them. Core messages go through
// CoreMessage.h (ShowMessage, ToRequest).
#include <QString>

#include "CoreMessage.h"

namespace zorp::ui {

// Critical message about a ROM file that could not be read or written.
void ShowFileError(const Platform& platform, QWidget* parent, const QString& title, const QString& path,
                   const QString& reason);

} // namespace zorp::ui
