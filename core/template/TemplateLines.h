#pragma once
// The two kinds of template line and the line source they are read from.
#include <string>
#include <string_view>
#include <vector>

namespace zorp {

// The lines of a template's bytes, in order. Lines end with CR LF or LF; a
// last line without an ending still counts, an ending at the very end of the
// file does not start another line. A UTF-8 byte order mark at the start (text
// editors add one) is not part of the first line.
class TemplateLines {
public:
    explicit TemplateLines(std::string_view bytes);

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The next line without its ending; call only when !AtEnd().
    std::string Next();
    // 1-based number of the line Next() returned last.
    int LineNumber() const { return lineNumber_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    int lineNumber_ = 0;
};

// A top-level line after trimming and cutting its end-of-line comment, in its
// own case; empty when the line is to be skipped (blank or a ";" comment).
// Upper-cased, the result is the command word.
std::string TopLevelText(const std::string& line);

// A block line: the text before the first ";", trimmed, split at every ":"
// into trimmed pieces. The key is piece 0 upper-cased; values keep their case.
struct BlockLine {
    std::string text;                // the line as read (before ";", trimmed)
    std::string key;                 // piece 0, upper-cased
    std::string rawKey;              // piece 0 as written
    std::vector<std::string> values; // pieces 1, 2, ...

    bool HasValue(size_t index) const { return index < values.size(); }
    // Value i (0 = piece 1), or an empty text when the line has no such piece.
    const std::string& Value(size_t index) const;
};

BlockLine ParseBlockLine(const std::string& line);

} // namespace zorp
