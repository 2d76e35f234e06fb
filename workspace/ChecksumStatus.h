#pragma once
// The status bar line about a ROM's header checksum. Sonic 1 and Sonic 2
// compare it at power-on and stop on a red screen when it is wrong, so a
// stale checksum is said in plain words, with the way to fix it.
#include <QString>

#include "rom/RomSave.h"

namespace zorp::ui {

QString ChecksumStatusText(const HeaderChecksum& checksum);

} // namespace zorp::ui
