#include "frmTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ActionAccess.h"
#include "AppContext.h"
#include "CoreMessage.h"
#include "TemplatePaths.h"
#include "rom/Bytes.h"
#include "rom/Locations.h"
#include "rom/PubFunctions.h"
#include "template/DefaultTemplate.h"
#include "template/TemplateCheck.h"

namespace zorp::ui {

namespace {

constexpr const char* kBrowseTitle = "Select ZORP-II Template File";
constexpr const char* kTemplateFilter = "ZORP-II Template Files (*.ZORP)|*.ZORP";

QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(QLatin1String("...")));
    return button;
}

} // namespace

frmTemplates::frmTemplates(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , context_(context)
{
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(QStringLiteral("Template Path Editor"));
    setAccessibleName(windowTitle());
    buildWidgets();
    LoadFilenames(true);
}

void frmTemplates::buildWidgets()
{
    fraGame = new QGroupBox(QStringLiteral("Game name:"), this);
    fraGame->setObjectName(QStringLiteral("fraGame"));
    fraGame->setAccessibleName(QStringLiteral("Game name"));
    lstGames = new QListWidget(fraGame);
    lstGames->setObjectName(QStringLiteral("lstGames"));
    lstGames->setAccessibleName(QStringLiteral("Game name"));
    lstGames->setSelectionMode(QAbstractItemView::SingleSelection);
    MakeItemsChoosable(lstGames);
    lstGames->setMinimumHeight(lstGames->fontMetrics().height() * 10);
    auto* gameLayout = new QVBoxLayout(fraGame);
    gameLayout->addWidget(lstGames);

    fraTempToLoad = new QGroupBox(QStringLiteral("Template to Load:"), this);
    fraTempToLoad->setObjectName(QStringLiteral("fraTempToLoad"));
    fraTempToLoad->setAccessibleName(QStringLiteral("Template to Load"));
    txtTemplate = new QLineEdit(fraTempToLoad);
    txtTemplate->setObjectName(QStringLiteral("txtTemplate"));
    txtTemplate->setAccessibleName(QStringLiteral("Template to Load"));
    txtTemplate->setMinimumWidth(300);
    cmdBrowse = MakeButton(QStringLiteral("cmdBrowse"), QStringLiteral("Browse..."), fraTempToLoad);
    cmdDefault = MakeButton(QStringLiteral("cmdDefault"), QStringLiteral("Default"), fraTempToLoad);
    cmdCustomise = MakeButton(QStringLiteral("cmdCustomise"), QStringLiteral("Customise..."), fraTempToLoad);
    cmdCustomise->setToolTip(QStringLiteral("Copy the shipped template into your own data folder to edit it."));
    lblZORPPath = new QLabel(QStringLiteral("Templates come from the data folders: *ZORP* stands for your own "
                                            "data folder when it holds the file, else the shipped templates; "
                                            "*SHIPPED* always for the shipped ones."),
                             fraTempToLoad);
    lblZORPPath->setWordWrap(true);
    lblZORPPath->setObjectName(QStringLiteral("lblZORPPath"));
    lblZORPPath->setAccessibleName(lblZORPPath->text());
    lblZORPPath->setForegroundRole(QPalette::PlaceholderText); // a hint, in the muted colour
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(txtTemplate, 1);
    pathRow->addWidget(cmdBrowse);
    pathRow->addWidget(cmdDefault);
    pathRow->addWidget(cmdCustomise);
    auto* templateLayout = new QVBoxLayout(fraTempToLoad);
    templateLayout->addLayout(pathRow);
    templateLayout->addWidget(lblZORPPath);

    cmdSave = MakeButton(QStringLiteral("cmdSave"), QStringLiteral("Save to Registry"), this);
    cmdRestore = MakeButton(QStringLiteral("cmdRestore"), QStringLiteral("Restore from Registry"), this);
    cmdRestoreDefault = MakeButton(QStringLiteral("cmdRestoreDefault"), QStringLiteral("Restore Defaults"), this);
    auto* storeRow = new QHBoxLayout;
    storeRow->addWidget(cmdSave);
    storeRow->addWidget(cmdRestore);
    storeRow->addStretch(1);
    storeRow->addWidget(cmdRestoreDefault); // apart: it deletes the stored keys at once

    // Games above, the selected game's template below, the store at the bottom.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraGame, 1);
    layout->addWidget(fraTempToLoad);
    layout->addSpacing(4);
    layout->addLayout(storeRow);
    resize(560, sizeHint().height());

    connect(lstGames, &QListWidget::currentRowChanged, this, &frmTemplates::selectGame);
    connect(txtTemplate, &QLineEdit::textChanged, this, &frmTemplates::templateTextChanged);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmTemplates::browse);
    connect(cmdDefault, &QPushButton::clicked, this, &frmTemplates::useDefault);
    connect(cmdCustomise, &QPushButton::clicked, this, &frmTemplates::customise);
    connect(cmdSave, &QPushButton::clicked, this, &frmTemplates::saveToStore);
    connect(cmdRestore, &QPushButton::clicked, this, &frmTemplates::restoreFromStore);
    connect(cmdRestoreDefault, &QPushButton::clicked, this, &frmTemplates::restoreDefaults);
}

void frmTemplates::LoadFilenames(bool loadListBox)
{
    BusyCursor busy;
    fraTempToLoad->setEnabled(false);
    if (auto error = context_.reloadDefinitions())
        ShowMessage(context_.platform, this, *error); // the table in use is kept
    const auto& records = context_.definitions.records();

    gameIds_.clear();
    keys_.clear();
    paths_.clear();
    QStringList labels;
    for (const RomDefinitionRecord& record : records) {
        const QString id = FromBytes(record.gameId());
        const QString name = FromBytes(record.displayName());
        // A game whose revisions open different templates gets a row per
        // revision, each with the template that revision opens.
        std::vector<std::string> revisions;
        for (const RevisionRule& rule : record.revisions)
            if (std::find(revisions.begin(), revisions.end(), rule.name) == revisions.end())
                revisions.push_back(rule.name);
        auto keyOf = [&record](const std::string& revision) {
            RomIdentification identity;
            identity.gameId = record.gameId();
            identity.revision = revision;
            return FromBytes(TemplateKey(identity, [](const std::string& file) {
                return FileSize(AppFilePath(file)).has_value();
            }));
        };
        const bool perRevision = std::any_of(revisions.begin(), revisions.end(),
                                             [&](const std::string& revision) { return keyOf(revision) != id; });
        if (perRevision) {
            for (const std::string& revision : revisions) {
                labels << name + QLatin1Char(' ') + FromBytes(revision);
                gameIds_ << id;
                keys_ << keyOf(revision);
            }
        } else {
            labels << name;
            gameIds_ << id;
            keys_ << id;
        }
    }
    // Rows stand for the list built here by position: a fresh list when asked
    // for, or when the table now gives another number of rows.
    if (loadListBox || lstGames->count() != labels.size()) {
        showingRow_ = true; // emptying the box is not an edit
        txtTemplate->clear();
        lstGames->clear();
        lstGames->addItems(labels);
        showingRow_ = false;
    }
    for (const QString& key : keys_)
        paths_ << StoredTemplatePath(*context_.platform.settings, key);
    pathsModified_ = false;
    selectGame();
}

QString frmTemplates::gameIdAt(int row) const
{
    return row >= 0 && row < gameIds_.size() ? gameIds_[row] : QString();
}

void frmTemplates::selectGame()
{
    const int row = lstGames->currentRow();
    if (row < 0 || row >= paths_.size())
        return;
    fraTempToLoad->setEnabled(true);
    // Showing a stored path is not an edit: it must not mark the copy modified.
    showingRow_ = true;
    txtTemplate->setText(paths_[row]);
    showingRow_ = false;
}

void frmTemplates::templateTextChanged(const QString& text)
{
    if (showingRow_)
        return;
    const int row = lstGames->currentRow();
    if (row < 0 || row >= paths_.size())
        return;
    paths_[row] = text;
    pathsModified_ = true;
}

void frmTemplates::useDefault()
{
    const int row = lstGames->currentRow();
    if (row < 0 || row >= paths_.size())
        return;
    txtTemplate->setText(DefaultTemplatePath(keys_[row]));
}

void frmTemplates::customise()
{
    const int row = lstGames->currentRow();
    if (row < 0 || row >= paths_.size())
        return;
    const QString fileName = keys_[row] + QStringLiteral(".ZORP");
    const Locations& at = CurrentLocations();
    const QString shipped = FromNativePath(JoinPath(at.dataDir, ToBytes(fileName)));
    const QString own = at.userDir.empty() ? QString() : FromNativePath(JoinPath(at.userDir, ToBytes(fileName)));
    auto fail = [&](const QString& reason) {
        context_.platform.messages->show(
            this, {QStringLiteral("Cannot Customise Template"),
                   QStringLiteral("The shipped template could not be copied:\n") + shipped + QLatin1Char('\n') + reason,
                   Icon::Critical, Buttons::Ok});
    };
    if (own.isEmpty())
        return fail(QStringLiteral("There is no user data folder to copy it to."));
    if (!QFileInfo(shipped).isFile())
        return fail(QStringLiteral("There is no such file."));
    if (QFileInfo::exists(own)) {
        const Answer replace = context_.platform.messages->show(
            this, {QStringLiteral("Customise Template"),
                   QStringLiteral("You already have your own copy of this template:\n") + own +
                       QStringLiteral("\nReplace it with a fresh copy of the shipped one?"),
                   Icon::Question, Buttons::YesNo});
        if (replace != Answer::Yes)
            return;
        if (!QFile::remove(own))
            return fail(QStringLiteral("Your copy cannot be replaced: ") + own);
    }
    QString reason;
    if (!QDir().mkpath(QFileInfo(own).absolutePath()))
        reason = QStringLiteral("The folder cannot be made: ") + QFileInfo(own).absolutePath();
    QFile source(shipped);
    if (reason.isEmpty() && !source.copy(own))
        reason = source.errorString();
    if (!reason.isEmpty())
        return fail(reason);
    // Shipped files are read-only when installed; the copy is the user's to edit.
    QFile(own).setPermissions(QFile(own).permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    // "*ZORP*/GAME.ZORP" names the user's copy now that it exists.
    txtTemplate->setText(DefaultTemplatePath(keys_[row]));
    context_.platform.messages->show(
        this, {QStringLiteral("Template Customised"),
               QStringLiteral("This copy of the shipped template is yours to edit:\n") + own +
                   QStringLiteral("\nIt is used in place of the shipped one from now on."),
               Icon::Information, Buttons::Ok});
}

void frmTemplates::browse()
{
    const int row = lstGames->currentRow();
    if (row < 0 || row >= paths_.size())
        return;
    FileDialogRequest request;
    request.title = QLatin1String(kBrowseTitle);
    request.filter = QLatin1String(kTemplateFilter);
    request.fileName = ExpandTemplatePath(txtTemplate->text());
    request.mustExist = true;
    const FileDialogResult chosen = context_.platform.files->run(this, request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    if (acceptTemplate(chosen.path))
        txtTemplate->setText(CollapseTemplatePath(chosen.path));
}

bool frmTemplates::acceptTemplate(const QString& path)
{
    // A file that cannot be read says why, rather than passing for a non-template.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        context_.platform.messages->show(
            this, {QStringLiteral("Invalid Template"),
                   QStringLiteral("The selected file could not be read:\n") + path + QLatin1Char('\n') +
                       file.errorString(),
                   Icon::Critical, Buttons::Ok});
        return false;
    }
    file.close();

    // The template's game is looked up in the table as it is on disk now.
    if (auto error = context_.reloadDefinitions())
        ShowMessage(context_.platform, this, *error);
    const std::string selectedId = ToBytes(gameIdAt(lstGames->currentRow()));
    const TemplateCheckResult check =
        CheckTemplateFileForGame(ToNativePath(path), selectedId, LookupInDefinitions(context_.definitions));
    switch (check.outcome) {
    case TemplateCheckOutcome::Accepted:
        return true;
    case TemplateCheckOutcome::AskIncorrectGame:
        return check.message &&
               ShowMessage(context_.platform, this, *check.message, Buttons::YesNo) == Answer::Yes;
    case TemplateCheckOutcome::Invalid:
    case TemplateCheckOutcome::Outdated:
    case TemplateCheckOutcome::Net:
        if (check.message)
            ShowMessage(context_.platform, this, *check.message);
        return false;
    }
    return false;
}

void frmTemplates::saveToStore()
{
    {
        BusyCursor busy;
        SettingsStore& settings = *context_.platform.settings;
        for (qsizetype i = 0; i < paths_.size(); ++i) {
            if (IsDefaultTemplatePath(keys_[i], paths_[i]))
                settings.remove(keys_[i]);
            else
                settings.setValue(keys_[i], paths_[i]);
        }
    }
    context_.platform.messages->show(this, {QStringLiteral("Template Filenames Saved"),
                                            QStringLiteral("The template filenames have been saved."),
                                            Icon::Information, Buttons::Ok});
}

void frmTemplates::restoreFromStore()
{
    if (pathsModified_)
        LoadFilenames(false);
}

void frmTemplates::restoreDefaults()
{
    const Answer answer = context_.platform.messages->show(
        this, {QStringLiteral("Restore Default Template Filenames"),
               QStringLiteral("Are you sure you want to restore the default template filenames?"),
               Icon::Question, Buttons::YesNo});
    if (answer != Answer::Yes)
        return;
    {
        BusyCursor busy;
        for (qsizetype i = 0; i < paths_.size(); ++i) {
            context_.platform.settings->remove(keys_[i]);
            paths_[i] = DefaultTemplatePath(keys_[i]);
        }
        pathsModified_ = false;
        selectGame();
    }
    context_.platform.messages->show(this, {QStringLiteral("Defaults Restored"),
                                            QStringLiteral("Default template filenames have been restored."),
                                            Icon::Information, Buttons::Ok});
}

} // namespace zorp::ui
