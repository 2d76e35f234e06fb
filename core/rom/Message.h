#pragma once
// A message for the user, produced by the core and shown by whatever front end
// runs it (a message box in the program, a line on stderr in zorptool).
#include <string>
#include <vector>

namespace zorp {

enum class MessageIcon { None, Critical, Exclamation, Question, Information };

struct Message {
    MessageIcon icon = MessageIcon::None;
    std::string title;
    std::vector<std::string> lines;

    // The lines joined with single line feeds, as message boxes show them.
    std::string text() const
    {
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) out += '\n';
            out += lines[i];
        }
        return out;
    }
};

// The addresses that messages point users to. Kept in one place so every
// message that names them stays in step.
inline constexpr const char* kOfficialWebsite = "https://zorp2.example.org/";
inline constexpr const char* kSiblingWebsite = "https://zorpnet.example.org/";
inline constexpr const char* kCodecWebsite = "https://ostrel.example.org/";
inline constexpr const char* kContactAddress = "zorp2-support@example.org";

} // namespace zorp
