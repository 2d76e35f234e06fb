#pragma once
// The main menu's tool bar pictures, drawn in code so the program carries no
// image files: a cartridge, a template sheet, conversion arrows, a lock-on
// cartridge pair and an information mark.
#include <QIcon>
#include <QString>

namespace zorp::ui {

// Icon for a tool bar key ("ROM", "Template", "ROMConv", "LockOn", "About");
// an empty icon for any other key.
QIcon MenuIcon(const QString& key);

} // namespace zorp::ui
