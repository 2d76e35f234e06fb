#pragma once
// The default templates window ("Template Path Editor"): for every game of
// the definitions table, the template the main menu opens its ROMs with; a
// game whose revisions open templates of their own (Sonic 2 REV00, REV01,
// REV02) has a row per revision, stored under that template's name. It
// edits a working copy of the stored paths; only "Save to Registry" writes
// them, except "Restore Defaults", which deletes the stored keys at once.
// "Customise..." copies the game's shipped template into the user's data
// folder, where it is used in place of the shipped one; the shipped file is
// never written.
#include <QStringList>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zorp::ui {

struct AppContext;

class frmTemplates : public QWidget {
    Q_OBJECT

public:
    explicit frmTemplates(AppContext& context, QWidget* parent = nullptr);

    // Fills the working copy from the settings store (and the game list too
    // when loadListBox is true), then shows the selected game's path.
    void LoadFilenames(bool loadListBox = false);

    // The working copy: one path per row (per record of the definitions
    // table, or per revision).
    const QStringList& templatePaths() const { return paths_; }
    bool pathsModified() const { return pathsModified_; }

private:
    void buildWidgets();
    void selectGame();
    void templateTextChanged(const QString& text);
    void browse();
    void useDefault();
    void customise();
    void saveToStore();
    void restoreFromStore();
    void restoreDefaults();

    QString gameIdAt(int row) const;
    bool acceptTemplate(const QString& path);

    AppContext& context_;
    QStringList gameIds_; // the game of each row, beside paths_
    QStringList keys_;    // the settings key of each row (TemplateKey)
    QStringList paths_;
    bool pathsModified_ = false;
    bool showingRow_ = false; // the text box is being filled from the list

    QGroupBox* fraGame = nullptr;
    QListWidget* lstGames = nullptr;
    QGroupBox* fraTempToLoad = nullptr;
    QLineEdit* txtTemplate = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPushButton* cmdCustomise = nullptr;
    QLabel* lblZORPPath = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdRestoreDefault = nullptr;
};

} // namespace zorp::ui
