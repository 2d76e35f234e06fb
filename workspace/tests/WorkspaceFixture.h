#pragma once
// Shared pieces of the workspace suites: synthetic cartridge images, template
// files written by the test, a scripted platform inside an AppContext, a
// codec object over the project's own Kosinski library, and lookups by
// objectName.
#include <QAction>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

#include "AppContext.h"
#include "frmZorpII.h"
#include "ostrel/clsOstrel.h"
#include "rom/Bytes.h"
#include "testing/ScriptedPlatform.h"

namespace zorp::ui::test {

// A Genesis image of `size` bytes: console name, the given title (96
// characters, space padded) and serial (14 characters), and a filler pattern
// elsewhere so that stray writes show up.
Bytes MakeGenesisImage(size_t size, const std::string& title, const std::string& serial);
void Put(Bytes& image, size_t offset, const Bytes& bytes);
// The big-endian word at 0x18E.
uint16_t StoredChecksumWord(const Bytes& image);

bool WriteBytes(const QString& path, const Bytes& bytes);
Bytes ReadBytes(const QString& path);

// The lines joined with CR LF, as template files are written.
bool WriteTemplate(const QString& path, const QStringList& lines);

// Latin letters and spaces in the "S3" level select code: space 0x00,
// A-Z 0x1E-0x37 (written here from the code table, not through the program).
Bytes S3Codes(const std::string& text);

// The Kosinski codec as the plug-in offers it, on the project's encoder and
// decoder; counts calls, and can be told to spoil its output.
class TestCodec : public clsOstrel {
public:
    bool OstrelPresent() override { return true; }
    bool DecompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool CompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte,
                                        std::string* Reason) override;
    // Not used by the workspace.
    bool DecompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool CompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool LoadS3S_Byte(const std::string&, std::vector<uint8_t>&, int32_t*, int32_t*, ostrel::S3S_StartDirection*, int32_t*,
                      std::string*, int32_t*) override
    {
        return true;
    }
    void AboutOstrel() override {}
    // Every format of the linked codec library.
    bool OffersFormat(int32_t Format) override;
    bool Decompress_Byte(int32_t Format, const std::vector<uint8_t>& InByte, uint64_t Start, uint64_t OutputCap,
                         std::vector<uint8_t>& OutByte, uint64_t* Consumed, std::string* Reason) override;
    bool Compress_Byte(int32_t Format, int32_t Encoder, const std::vector<uint8_t>& InByte,
                       std::vector<uint8_t>& OutByte, std::string* Reason) override;

    int decompressCalls = 0;
    int compressCalls = 0;
    int optimalCalls = 0;
    // Applied to every compressed stream before it is returned.
    std::function<void(std::vector<uint8_t>&)> spoil;
};

// A scripted platform inside an application context.
struct Harness {
    Harness();
    ScriptedPlatform scripted;
    AppContext context;
    TestCodec codec;
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Creates a workspace as the main menu does: template, LoadFrames, then
    // LoadROM unless the template was refused. Not shown.
    frmZorpII* open(const QString& templatePath, const QString& romPath);
};

template <typename T>
T* find(const QObject* root, const QString& name)
{
    return root->findChild<T*>(name);
}

QAction* button(const frmZorpII* window, const QString& key);
// The frames (objectName fra*) that are visible, by name.
QStringList visibleFrames(const frmZorpII* window);
// Runs deferred deletions (windows closed with WA_DeleteOnClose).
void flushDeletes();

} // namespace zorp::ui::test
