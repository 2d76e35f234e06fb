#pragma once
// A core message (title and lines, meant for a message box) as the single line
// zorptool prints on failure: "Title: line line ...", empty lines dropped.
#include <string>

#include "rom/Message.h"

inline std::string RomMessageLine(const zorp::Message& message)
{
    std::string text = message.title;
    std::string separator = text.empty() ? "" : ": ";
    for (const std::string& line : message.lines) {
        if (line.empty())
            continue;
        text += separator + line;
        separator = " ";
    }
    return text;
}
