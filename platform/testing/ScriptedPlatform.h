#pragma once
// Scripted stand-ins for tests: each question is answered from a queue set up
// by the test, and every question asked is recorded so the test can assert
// the exact title, text, icon and buttons, in order. A question with no
// scripted answer is recorded as unexpected and answered as if the box had
// been closed (Cancel; No without Cancel; Ok for an OK-only box, as in
// MessageBoxes::show) / as a cancelled dialog, so a test never blocks.
#include <QMap>
#include <QVector>
#include <deque>
#include <map>
#include <memory>

#include "Platform.h"

namespace zorp::ui {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    Answer show(QWidget* parent, const MessageRequest& request) override;

    void answer(Answer a) { answers_.push_back(a); } // queue the next answer
    QVector<MessageRequest> asked;                    // every box shown, in order
    int unexpected = 0;                               // boxes shown with no answer queued

private:
    std::deque<Answer> answers_;
};

class ScriptedFileDialogs : public FileDialogs {
public:
    FileDialogResult run(QWidget* parent, const FileDialogRequest& request) override;

    void choose(const QString& path, int filterIndex = 1) { results_.push_back({true, path, filterIndex}); }
    void cancel() { results_.push_back({false, QString(), 1}); }
    QVector<FileDialogRequest> asked;
    int unexpected = 0;

private:
    std::deque<FileDialogResult> results_;
};

class MemorySettingsStore : public SettingsStore {
public:
    QString value(const QString& key, const QString& defaultValue) const override;
    void setValue(const QString& key, const QString& value) override;
    void remove(const QString& key) override;
    bool contains(const QString& key) const override;
    SettingsStore& group(const QString& name) override;
    QMap<QString, QString> values; // keys as stored
    std::map<QString, std::unique_ptr<MemorySettingsStore>> groups; // other sections, by name
};

class RecordingSoundOutput : public SoundOutput {
public:
    void play(const QByteArray& wavImage) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }
    QVector<QByteArray> played;
    int stops = 0;

private:
    bool playing_ = false;
};

// Finds the programs the test lists and records every start instead of
// starting anything; a start fails with failWith when that is set.
class RecordingProgramLauncher : public ProgramLauncher {
public:
    QString findProgram(const QString& name) const override { return installed.value(name); }
    bool startDetached(const QString& program, const QStringList& arguments, QString& error) override;

    QMap<QString, QString> installed; // name -> full path
    struct Start {
        QString program;
        QStringList arguments;
    };
    QVector<Start> started;
    QString failWith;
};

// One of each, as a Platform.
struct ScriptedPlatform {
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    MemorySettingsStore settings;
    RecordingSoundOutput sound;
    MemorySettingsStore preferences;
    RecordingProgramLauncher programs;
    Platform platform() { return {&messages, &files, &settings, &sound, &preferences, &programs}; }
};

} // namespace zorp::ui
