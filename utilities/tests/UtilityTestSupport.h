#pragma once
// Shared by the utility window suites: a temporary program directory (from
// the shared test support) holding a ROM_DEF.RDEF written here, synthetic images (core test helpers), file
// access and the screenshot hook.
#include <QDir>
#include <QPushButton>
#include <QWidget>
#include <QtTest>

#include "CoreMessage.h"
#include "Screenshot.h"
#include "TemporaryProgramDirectory.h"
#include "rom/PubFunctions.h"
#include "rom/tests/RomTestFiles.h"

namespace utiltest {

using namespace romtest;

inline std::string DefinitionRecord(const std::string& name, const std::string& id, const GameHeader& h)
{
    return "n|" + name + "|" + id + "|" + h.half + h.half + "|" + h.serial.substr(0, 11) + "\r\n";
}

inline std::string DefinitionsText()
{
    return "ZORP-II ROM DEFINITIONS FILE|\r\n" + DefinitionRecord("Sonic the Hedgehog", "S1", Sonic1Rev00()) +
           DefinitionRecord("Sonic the Hedgehog (REV01)", "S1_J", Sonic1Rev01()) +
           DefinitionRecord("Sonic the Hedgehog 2", "S2", Sonic2()) +
           DefinitionRecord("Sonic the Hedgehog 3", "S3", Sonic3()) +
           DefinitionRecord("Sonic & Knuckles", "S&K", SonicKnuckles());
}

// A temporary folder that is the program directory while the object lives.
class ProgramDir {
public:
    ProgramDir() { WriteText(file("ROM_DEF.RDEF"), DefinitionsText()); }

    std::string file(const std::string& name) const { return zorp::ui::ToNativePath(path(name)); }
    QString path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)); }

private:
    zorp::test::TemporaryProgramDirectory dir_;
};

inline zorp::Bytes ReadAll(const QString& path)
{
    auto bytes = zorp::ReadFileBytes(zorp::ui::ToNativePath(path), 256u << 20);
    return bytes ? *bytes : zorp::Bytes();
}

inline zorp::Bytes Slice(const zorp::Bytes& b, size_t from, size_t count)
{
    if (from > b.size())
        return {};
    count = std::min(count, b.size() - from);
    return zorp::Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

inline void Click(QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    button->click();
}

// With ZORP_SCREENSHOT_DIR set, saves the window as fileName there.
inline void SaveScreenshot(QWidget& window, const QString& fileName)
{
    QVERIFY(zorp::test::SaveScreenshot(window, fileName));
}

} // namespace utiltest
