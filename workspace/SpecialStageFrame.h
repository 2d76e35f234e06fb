#pragma once
// fraS3S: the special stage editor control S3S and the workspace's side of
// it. In ROM mode the stage block (plain, or one Kosinski stream through the
// codec) is held in memory in a StageStore while the user moves between the
// stages, and handed back whole when the workspace saves. In special stage
// file mode the ROM file is itself an S3S file, read and written whole.
#include <QString>

#include <optional>
#include <string>

#include "EditorFrame.h"
#include "rom/Bytes.h"
#include "stage/StageStore.h"
#include "TemplateModels.h"

namespace zorp {
class ByteSource;
}

namespace zorp::ui {

struct AppContext;
class S3SpecialStage;

class SpecialStageFrame : public EditorFrame {
    Q_OBJECT
public:
    SpecialStageFrame(AppContext& context, QWidget* parent);
    ~SpecialStageFrame() override;

    QSize designedSize() const override;
    void Clear() override;

    void Setup(const S3SSetup& setup);
    void Setup(const S3SFileSetup& setup);
    // The frame's tag is "S3S": the ROM file is an S3S file.
    bool fileMode() const;

    struct LoadResult {
        int fileVersion = 0; // file mode: 1 or 2 when the file was read, else 0
    };
    LoadResult Load(const ByteSource& rom, const QString& romPath);

    bool Modified() const;
    void SetModified(bool modified);

    // File mode: the stage as a version 1 or 2 file.
    Bytes FileBytes(int version) const;
    // File mode: why the stage must not be written over the file at path,
    // or empty. Nothing is written after a load that found no stage file,
    // nor over a file that is not a complete stage file (a game ROM opened
    // with the stage file template would otherwise become a stage file).
    QString FileSaveRefusal(const ByteSource& target) const;

    // ROM mode: what saving writes for the stages. Stores the stage on screen
    // first; for a compressed block asks whether to compress (only when the
    // stages were edited), compresses and checks the result fits and decodes
    // back to the stages. No patch when nothing is to be written.
    struct SavePlan {
        std::optional<Patch> patch;
        bool compressed = false;
    };
    SavePlan PrepareSave(uint64_t fileSize);
    // The plan's patch is in the file: clears the modified flag and confirms
    // a compressed save.
    void SaveWritten(const SavePlan& plan);

    S3SpecialStage* editor() const { return editor_; }
    const StageStore& store() const { return store_; }

private:
    void StageChanged(int oldStage, int newStage);
    void StoreShownStage(int stage);
    void ShowStage(int stage);

    AppContext& context_;
    S3SpecialStage* editor_;
    StageStore store_;
    S3SSetup setup_;
    bool fileLoaded_ = false;     // file mode: the last load read a stage file
    bool storeComplete_ = true;   // ROM mode: every stage was read from the ROM
};

} // namespace zorp::ui
