#pragma once
// Reads a template (the ".ZORP" language) into a plain description of what
// the workspace is to do: the editors to set up and the messages to show, in
// file order. The workspace applies the actions in that order; nothing here
// shows a message or touches a ROM.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "rom/Message.h"
#include "template/EditorSetups.h"
#include "template/TemplateFit.h"

namespace zorp {

// A template the workspace must not use: it reports the status text of
// RefusalStatus to the main menu and closes.
enum class TemplateRefusal { None, Net, Outdated };

// "NET", "OUTDATED" or "".
std::string RefusalStatus(TemplateRefusal refusal);

// One step of the template: set up an editor, or show a message (a MSGBOX
// box, an invalid command, a refused block, a refusal of the whole template).
using TemplateAction =
    std::variant<LevelSelectSetup, PaletteSetup, PlaylistSetup, S3SSetup, S3SFileSetup, WavSetup, S1StagesSetup,
                 Message, S2SpecialStageSetup, S2LevelSelectSetup>;

struct TemplateResult {
    bool hasHeader = false;
    std::string headerValue; // piece 1 of the game line (TemplateHeaderValue)
    std::string version;     // piece 1 of the version line (TemplateVersion)
    std::vector<TemplateAction> actions;
    // On a refusal its message is the last action and nothing after the
    // refusing line was read.
    TemplateRefusal refusal = TemplateRefusal::None;
    // The images the template fits (its FITS block; none: every image).
    TemplateFit fit;

    // The messages among the actions, in order.
    std::vector<Message> Messages() const;
};

struct TemplateReadOptions {
    // Whether the codec library is usable: a compressed special stage block
    // needs it.
    bool codecPresent = false;
};

// Reads a template's bytes. A text over kMaxTemplateSize is not read: the
// result then holds one message and no editor.
TemplateResult ReadTemplate(std::string_view bytes, const TemplateReadOptions& options);

// Reads the template file at path; a file that cannot be read, or is too
// large, gives one message and no editor.
TemplateResult ReadTemplateFile(const std::string& path, const TemplateReadOptions& options);

} // namespace zorp
