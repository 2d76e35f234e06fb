#include "QtPlatform.h"

#include <QAbstractButton>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include "WavImage.h"

namespace zorp::ui {

// ---------------------------------------------------------------- messages

namespace {

QMessageBox::Icon ToQtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// What Escape or the close button means for each button set.
QMessageBox::StandardButton EscapeButton(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::YesNo: return QMessageBox::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer ToAnswer(int button, Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: break;
    }
    return ToAnswer(EscapeButton(buttons), buttons);
}

} // namespace

Answer QtMessageBoxes::show(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(ToQtIcon(request.icon), request.title, request.text, ToQtButtons(request.buttons),
                    parent);
    box.setTextFormat(Qt::PlainText); // texts may carry '<' from ROM headers and paths
    box.setEscapeButton(EscapeButton(request.buttons));
    if (!request.okText.isEmpty()) {
        QAbstractButton* ok = box.button(QMessageBox::Ok);
        if (!ok)
            ok = box.button(QMessageBox::Yes);
        if (ok)
            ok->setText(request.okText);
    }
    return ToAnswer(box.exec(), request.buttons);
}

// ---------------------------------------------------------------- file dialogs

FileDialogResult QtFileDialogs::run(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.confirmOverwrite));

    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }

    QString directory = request.directory;
    if (!request.fileName.isEmpty()) {
        const QFileInfo preset(request.fileName);
        if (directory.isEmpty() && request.fileName.contains(QLatin1Char('/')))
            directory = preset.absolutePath();
        if (!directory.isEmpty())
            dialog.setDirectory(directory);
        dialog.selectFile(preset.fileName());
    } else if (!directory.isEmpty()) {
        dialog.setDirectory(directory);
    }

    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.accepted = true;
    result.path = dialog.selectedFiles().constFirst();
    result.filterIndex = filters.isEmpty() ? 1 : int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (result.filterIndex < 1)
        result.filterIndex = 1;
    return result;
}

// ---------------------------------------------------------------- settings

namespace {

constexpr const char* kOrganization = "ZORP-II";
constexpr const char* kApplication = "Sonic the Hedgehog Quorvane";

} // namespace

QtSettingsStore::QtSettingsStore(const QString& iniPath, const QString& group)
    : iniPath_(iniPath)
    , group_(group)
{
}

QtSettingsStore::~QtSettingsStore() = default;

SettingsStore& QtSettingsStore::group(const QString& name)
{
    auto& store = groups_[name];
    if (!store)
        store = std::make_unique<QtSettingsStore>(iniPath_, name);
    return *store;
}

std::unique_ptr<QSettings> QtSettingsStore::open() const
{
    auto settings = iniPath_.isEmpty()
                        ? std::make_unique<QSettings>(QString::fromLatin1(kOrganization),
                                                      QString::fromLatin1(kApplication))
                        : std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
    settings->beginGroup(group_);
    return settings;
}

QString QtSettingsStore::value(const QString& key, const QString& defaultValue) const
{
    return open()->value(key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& key, const QString& value)
{
    open()->setValue(key, value);
}

void QtSettingsStore::remove(const QString& key)
{
    if (!key.isEmpty()) // an empty key would remove the whole group
        open()->remove(key);
}

bool QtSettingsStore::contains(const QString& key) const
{
    return !key.isEmpty() && open()->contains(key);
}

// ---------------------------------------------------------------- programs

QString QtProgramLauncher::findProgram(const QString& name) const
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QString();
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/games")});
}

bool QtProgramLauncher::startDetached(const QString& program, const QStringList& arguments, QString& error)
{
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        path = findProgram(program);
        if (path.isEmpty()) {
            error = QStringLiteral("The program \"%1\" was not found on the PATH or in /usr/games.").arg(program);
            return false;
        }
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        error = QStringLiteral("The program \"%1\" could not be started: %2").arg(path, process.errorString());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- sound

struct QtSoundOutput::State {
    std::unique_ptr<QAudioSink> sink;
    std::unique_ptr<QBuffer> buffer;
    QByteArray samples;
};

QtSoundOutput::QtSoundOutput() : state_(std::make_unique<State>()) {}

QtSoundOutput::~QtSoundOutput()
{
    stop();
}

void QtSoundOutput::play(const QByteArray& wavImage)
{
    stop();
    const std::optional<WavImage> wav = ParseWavImage(wavImage);
    if (!wav || wav->dataSize == 0)
        return;

    QAudioFormat format;
    format.setChannelCount(wav->channels);
    format.setSampleRate(wav->sampleRate);
    format.setSampleFormat(wav->bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format))
        return;

    state_->samples = wavImage.mid(wav->dataOffset, wav->dataSize);
    state_->buffer = std::make_unique<QBuffer>(&state_->samples);
    state_->buffer->open(QIODevice::ReadOnly);
    state_->sink = std::make_unique<QAudioSink>(device, format);
    // The sink goes idle when the buffer runs dry: the sound has ended.
    QAudioSink* sink = state_->sink.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State s) {
        if (s == QAudio::IdleState)
            sink->stop();
    });
    sink->start(state_->buffer.get());
}

void QtSoundOutput::stop()
{
    if (state_->sink) {
        state_->sink->disconnect();
        state_->sink->stop();
    }
    state_->sink.reset();
    state_->buffer.reset();
    state_->samples.clear();
}

bool QtSoundOutput::isPlaying() const
{
    return state_->sink && state_->sink->state() == QAudio::ActiveState;
}

// ---------------------------------------------------------------- bundle

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

Platform QtPlatform::platform()
{
    return {&messages_, &files_, &settings_, &sound_, &preferences_, &programs_};
}

} // namespace zorp::ui
