#include "AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "CoreMessage.h"
#include "frmZorpII.h"
#include "rom/PubFunctions.h"

namespace zorp::test {

QList<ui::frmZorpII*> OpenWorkspaces()
{
    QList<ui::frmZorpII*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* workspace = qobject_cast<ui::frmZorpII*>(widget); workspace && workspace->isVisible())
            found << workspace;
    }
    return found;
}

void DeleteWindowsExcept(const QWidget* keep)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != keep && !widget->parentWidget())
            widget->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray TitleField(const QByteArray& name)
{
    const QByteArray half = name.leftJustified(48, ' ', true);
    return half + half;
}

void PutGenesisHeader(QByteArray& image, int base, const QByteArray& serial, const QByteArray& name)
{
    image.replace(base + 0x120, 96, TitleField(name));
    image.replace(base + 0x180, 11, serial.leftJustified(11, ' ', true));
}

QByteArray GenesisImage(int size, const QByteArray& serial, const QByteArray& name)
{
    QByteArray image(size, '\0');
    PutGenesisHeader(image, 0, serial, name);
    return image;
}

QByteArray Sonic2Image()
{
    return GenesisImage(0x80000, "GM 00001051", "TEST SONIC 2");
}

QByteArray SonicKnucklesImage(bool lockedOn)
{
    QByteArray image = GenesisImage(lockedOn ? 0x300000 : 0x200000, "GM MK-1563", "TEST SONIC & KNUCKLES");
    if (lockedOn)
        PutGenesisHeader(image, 0x200000, "GM 00001051", "TEST SONIC 2");
    return image;
}

QByteArray MasterSystemImage()
{
    QByteArray image(0x8000, '\0');
    image[0x7FFC] = char(0x76); // little-endian 0x7076
    image[0x7FFD] = char(0x70);
    return image;
}

QByteArray MinimalTemplate(const QByteArray& game, const QByteArray& version)
{
    return "ZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: " + game + "\r\nZORP-II VERSION: " + version + "\r\n";
}

QByteArray ProgramDirectory::Definitions()
{
    QByteArray text = "ZORP-II ROM DEFINITIONS FILE|test table\r\n";
    auto row = [&text](const QByteArray& name, const QByteArray& id, const QByteArray& title,
                       const QByteArray& serial) {
        text += "test|" + name + '|' + id + '|' + title + '|' + serial + "\r\n";
    };
    row("Sonic the Hedgehog", "S1", TitleField("TEST SONIC 1"), "GM 00001009");
    row("Sonic the Hedgehog (REV01)", "S1_J", TitleField("TEST SONIC 1 REV01"), "GM 00004049");
    row("Sonic the Hedgehog 2", "S2", TitleField("TEST SONIC 2"), "GM 00001051");
    row("Sonic the Hedgehog 3", "S3", TitleField("TEST SONIC 3"), "GM MK-1079 ");
    text += "\r\n"; // blank lines between records are allowed
    row("Sonic & Knuckles", "S&K", TitleField("TEST SONIC & KNUCKLES"), "GM MK-1563 ");
    row("Sonic 2 & Knuckles", "S2_K", "~", "~");
    row("S&K Locked On (other)", "SO", "~", "~");
    row("Special Stage File", "S3S", "~", "~");
    row("Sonic the Hedgehog (Master System)", "SMS_S1", "", "7076");
    return text;
}

ProgramDirectory::ProgramDirectory()
{
    write(QStringLiteral("ROM_DEF.RDEF"), Definitions());
}

} // namespace zorp::test
