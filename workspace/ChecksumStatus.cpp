#include "ChecksumStatus.h"

namespace zorp::ui {

namespace {

QString Word(uint16_t value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString ChecksumStatusText(const HeaderChecksum& checksum)
{
    if (!checksum.present)
        return QStringLiteral("The file is too short to hold a cartridge header.");
    if (checksum.matches())
        return QStringLiteral("Header checksum %1 matches the ROM.").arg(Word(checksum.stored));
    return QStringLiteral("Stale header checksum (header %1, actual %2): Sonic 1 and Sonic 2 stop at a red "
                          "screen at power-on. Press Fix Checksum.")
        .arg(Word(checksum.stored), Word(checksum.actual));
}

} // namespace zorp::ui
