#include "testing/ScriptedPlatform.h"

namespace zorp::ui {

namespace {

// The answer a box gets when the test queued none: what closing it means.
Answer ClosedAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace

Answer ScriptedMessageBoxes::show(QWidget*, const MessageRequest& request)
{
    asked.push_back(request);
    if (answers_.empty()) {
        ++unexpected;
        return ClosedAnswer(request.buttons);
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

FileDialogResult ScriptedFileDialogs::run(QWidget*, const FileDialogRequest& request)
{
    asked.push_back(request);
    if (results_.empty()) {
        ++unexpected;
        return {};
    }
    FileDialogResult r = results_.front();
    results_.pop_front();
    return r;
}

QString MemorySettingsStore::value(const QString& key, const QString& defaultValue) const
{
    return values.value(key, defaultValue);
}

void MemorySettingsStore::setValue(const QString& key, const QString& value)
{
    values.insert(key, value);
}

void MemorySettingsStore::remove(const QString& key)
{
    values.remove(key);
}

bool MemorySettingsStore::contains(const QString& key) const
{
    return values.contains(key);
}

SettingsStore& MemorySettingsStore::group(const QString& name)
{
    auto& store = groups[name];
    if (!store)
        store = std::make_unique<MemorySettingsStore>();
    return *store;
}

void RecordingSoundOutput::play(const QByteArray& wavImage)
{
    played.push_back(wavImage);
    playing_ = true;
}

void RecordingSoundOutput::stop()
{
    ++stops;
    playing_ = false;
}

bool RecordingProgramLauncher::startDetached(const QString& program, const QStringList& arguments, QString& error)
{
    started.push_back({program, arguments});
    error = failWith;
    return failWith.isEmpty();
}

} // namespace zorp::ui
