#pragma once
// The small interfaces through which every window reaches the outside world:
// message boxes, file dialogs, the settings store and sound output. The
// program passes the Qt implementations (QtPlatform.h); tests pass scripted
// ones (testing/ScriptedPlatform.h) that answer each question in turn and
// record exactly what was asked.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

namespace zorp::ui {

enum class Icon { None, Critical, Exclamation, Question, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString title;
    QString text; // lines joined with single line feeds
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    // When set, the OK (or Yes) button says what it does ("Convert and Open").
    QString okText{};
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box and returns the button pressed. Closing the
    // box without a button counts as Cancel (No when there is no Cancel, Ok
    // for a box with only OK).
    virtual Answer show(QWidget* parent, const MessageRequest& request) = 0;
};

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    // Filters in the pipe-separated form "Desc|*.A;*.B|Desc2|*.C": pairs of a
    // description and a pattern list. Extensions match case-insensitively.
    QString filter;
    int filterIndex = 1;      // 1-based filter preselected
    QString fileName;         // preset file name or full path
    QString directory;        // starting folder (empty: the preset's folder)
    bool mustExist = false;   // Open: the file (and its folder) must exist
    bool confirmOverwrite = false; // Save: ask before replacing a file
};

struct FileDialogResult {
    bool accepted = false;    // false when the user cancelled
    QString path;
    int filterIndex = 1;      // 1-based filter chosen
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FileDialogResult run(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The per-user settings store. The platform's `settings` is group "Templates":
// one key per game identifier holding a template path; its `preferences` is
// group "Preferences" (the emulator command line, save options). Other groups
// ("RecentROMs", "Windows", ...) are reached through group().
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& key, const QString& defaultValue) const = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
    virtual void remove(const QString& key) = 0; // a missing key is no error
    virtual bool contains(const QString& key) const = 0;
    // The store of another top-level section of the same settings, created
    // on first use and owned by this store.
    virtual SettingsStore& group(const QString& name) = 0;
};

// Asynchronous playback of a complete WAV image held in memory. A new play
// stops the sound still playing. Without an audio device nothing happens.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QByteArray& wavImage) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
};

// Finds and starts other programs (the emulator behind Play).
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // The full path of the executable named name on the PATH or in
    // /usr/games; empty when there is none.
    virtual QString findProgram(const QString& name) const = 0;
    // Starts program (a name looked up as findProgram does, or a path) with
    // the arguments, without waiting for it; it keeps running when this
    // program ends. False, with a sentence in error, when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments, QString& error) = 0;
};

// Everything a window needs from outside, handed down from the main menu.
struct Platform {
    MessageBoxes* messages = nullptr;
    FileDialogs* files = nullptr;
    SettingsStore* settings = nullptr; // group "Templates": one key per game
    SoundOutput* sound = nullptr;
    // Group "Preferences": the user's choices that are not templates (the
    // emulator, save options). May be null (a window then uses the defaults
    // and remembers nothing).
    SettingsStore* preferences = nullptr;
    ProgramLauncher* programs = nullptr;
};

// A command line split into words (spaces separate words, double quotes
// keep a word with spaces together; three double quotes make one), with
// %ROM% in any word replaced by romPath, so a path with spaces stays one
// argument. A command without %ROM% gets the path as its last argument.
// Empty when the line holds no words.
QStringList CommandWords(const QString& commandLine, const QString& romPath);

// Asks through the platform's message boxes; a control used without one
// (no platform given) takes the answer that changes nothing.
Answer Ask(const Platform& platform, QWidget* parent, const MessageRequest& request);

// Shows the busy pointer for the lifetime of the object.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// "Desc|*.A;*.B|..." -> Qt name filters ("Desc (*.A *.B *.a *.b)", ...).
QStringList QtNameFilters(const QString& pipeFilter);

// Byte strings from the core <-> QString, one char per byte (Latin-1).
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

} // namespace zorp::ui
