#pragma once
// The fixed messages of the template language and of the template check of
// the default-templates window. Their titles, icons and lines are part of the
// program's behaviour: tests compare them exactly.
#include <string>

#include "rom/Message.h"

namespace zorp {

// Reading a template in the workspace.
Message NetTemplateMessage();                                // "ZORP .NET Template Detected"
Message OutdatedTemplateMessage();                           // "Outdated Version"
Message InvalidCommandMessage(const std::string& line);      // "Invalid Command"
Message CodecMissingMessage();                               // "The Ostrel Not Found"
Message TemplateTooLargeMessage();                           // "Invalid Template"
Message TemplateUnreadableMessage(const std::string& path);  // "Invalid Template"

// A block whose values cannot be used: its editor is not set up. command is
// the block's command word, lineNumber and lineText the line at fault (the
// command line itself when a key is missing), reason one sentence.
Message BlockRefusedMessage(const std::string& command, int lineNumber, const std::string& lineText,
                            const std::string& reason);
// A PLAYLIST block with fewer SONG lines than PLAYLISTS announces: the
// unfilled slots are left out (a warning; the block is still used).
Message UnfilledSlotsMessage(int commandLine, const std::string& commandText, size_t announced, size_t filled);

// The template check of the default-templates window ("Browse...").
Message CheckInvalidTemplateMessage();  // "Invalid Template"
Message CheckOutdatedMessage();         // "Outdated Version"
Message CheckNetTemplateMessage();      // "ZORP .NET Template"
Message IncorrectGameQuestion(const std::string& templateGameName, const std::string& selectedGameName);

} // namespace zorp
