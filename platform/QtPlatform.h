#pragma once
// The real implementations: QMessageBox, QFileDialog, QSettings, QAudioSink
// and QProcess.
#include <map>
#include <memory>

#include "Platform.h"

class QSettings;

namespace zorp::ui {

class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(QWidget* parent, const MessageRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    FileDialogResult run(QWidget* parent, const FileDialogRequest& request) override;
};

// QSettings of the application "Sonic the Hedgehog Quorvane", group "Templates"
// (or the group named). An ini path (tests) replaces the user's store with
// that file.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& iniPath = QString(), const QString& group = QStringLiteral("Templates"));
    ~QtSettingsStore() override;
    QString value(const QString& key, const QString& defaultValue) const override;
    void setValue(const QString& key, const QString& value) override;
    void remove(const QString& key) override;
    bool contains(const QString& key) const override;
    SettingsStore& group(const QString& name) override;

private:
    std::unique_ptr<QSettings> open() const;
    QString iniPath_;
    QString group_;
    std::map<QString, std::unique_ptr<QtSettingsStore>> groups_;
};

// QProcess: programs are looked up on the PATH, then in /usr/games (where
// Debian installs emulators), and started detached.
class QtProgramLauncher : public ProgramLauncher {
public:
    QString findProgram(const QString& name) const override;
    bool startDetached(const QString& program, const QStringList& arguments, QString& error) override;
};

class QtSoundOutput : public SoundOutput {
public:
    QtSoundOutput();
    ~QtSoundOutput() override;
    void play(const QByteArray& wavImage) override;
    void stop() override;
    bool isPlaying() const override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Owns one of each and hands them out as a Platform.
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    Platform platform();

private:
    QtMessageBoxes messages_;
    QtFileDialogs files_;
    QtSettingsStore settings_;
    QtSoundOutput sound_;
    QtSettingsStore preferences_{QString(), QStringLiteral("Preferences")};
    QtProgramLauncher programs_;
};

} // namespace zorp::ui
