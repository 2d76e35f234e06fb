#pragma once
// The workspace window: edits one ROM file with one template. It owns one
// frame per kind of editor (level select, palette, playlist, special stages,
// WAV importer) and a tool bar; the template decides which frames are active
// and hands each editor its settings.
#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

#include "rom/RomSave.h"
#include "template/TemplateReader.h"

class QCloseEvent;

namespace zorp::ui {

struct AppContext;
class WorkspaceState;

class frmZorpII : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(QString ROMFile READ ROMFile WRITE setROMFile)
    Q_PROPERTY(QString TemplateFile READ TemplateFile WRITE setTemplateFile)
    Q_PROPERTY(QString TemplateHeaderValue READ TemplateHeaderValue)
    Q_PROPERTY(QString TemplateVersion READ TemplateVersion)
    Q_PROPERTY(bool DecodeTableIsCpp READ DecodeTableIsCpp)
    Q_PROPERTY(QString S3STempFile READ S3STempFile)

public:
    explicit frmZorpII(AppContext& context, QWidget* parent = nullptr);
    ~frmZorpII() override;

    QString ROMFile() const;
    QString TemplateFile() const;
    QString TemplateHeaderValue() const;
    QString TemplateVersion() const;
    bool DecodeTableIsCpp() const;
    // Always empty: the special stages of a ROM are kept in memory, so there
    // is no scratch file to remember.
    QString S3STempFile() const;

    void setTemplateFile(const QString& path);
    void setROMFile(const QString& path);

    // Runs the template and switches on the frames it asks for. A refused
    // template (a later version's, or the sibling format) is reported and
    // returned; the window has then closed itself.
    TemplateRefusal LoadFrames();
    // Fills every active editor from the ROM file and checks that the
    // template fits it (asking what to do when it does not). False when the
    // workspace closed itself (the user chose to close it).
    bool LoadROM(const QString& romFile);
    // Writes every active editor back into the ROM file in one write; true
    // when the file was written.
    bool SaveROM(const QString& romFile);
    // Writes the actual header checksum (asking first about unsaved edits).
    void FixChecksum();
    // True while the template does not fit the ROM: nothing can be saved.
    bool readOnly() const;
    // True while any active editor holds a change not yet saved to the file.
    bool HasUnsavedEdits() const;
    // Starts the user's emulator on the ROM file, offering to save first.
    void Play();
    // 1 when the user cancelled the "Save Palette" question, else 0.
    int CheckPalModified();
    // Clears every active frame after asking about unsaved special stages
    // and palette edits; 1 when the user cancelled (nothing cleared), else 0.
    int ResetWorkspace();
    // True after LoadFrames refused the template; the window has then set the
    // context's template status and closed itself.
    bool refusedTemplate() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOutFrames();
    void ToolbarClicked(const QString& key);
    void ShowFrame(const QString& key);
    void AddUndoActions();
    void UpdateUndoTarget();
    // The editors whose data a save wrote in full.
    struct SavedEditors {
        bool levelSelect = false;
        bool playlist = false;
        bool wav = false;
        bool sonicTwo = false; // Sonic 2's level select and special stages
    };
    // After a save: those editors hold nothing unsaved; the others keep their flag.
    void MarkEditorsSaved(const SavedEditors& saved);
    // Asks "Save ROM Changes" when the special stages hold unsaved edits:
    // 0 nothing to ask, 1 keep the window (Cancel, or Yes but the stages
    // could not be saved), 2 answered Yes (saved) or No.
    int AskSaveStages();
    // The one write of a save: patches (and the checksum) through the shared
    // save road, asking before overwriting a file changed since it was loaded.
    // growTo: the image's new size when the save grows it, else 0.
    bool WriteToRom(const QString& romFile, const std::vector<Patch>& patches, bool fixChecksum, uint64_t growTo = 0);
    bool SaveEdits(const QString& romFile, bool fixChecksum);
    void ShowReadOnlyRefusal();
    bool FixChecksumOnSave() const;
    bool CheckTemplateFits(const Bytes& image);
    void SetReadOnly(bool readOnly);
    void ShowChecksum(const HeaderChecksum& checksum);
    // True when a new template was chosen and loaded.
    bool ChangeTemplate();

    std::unique_ptr<WorkspaceState> d;
};

} // namespace zorp::ui
