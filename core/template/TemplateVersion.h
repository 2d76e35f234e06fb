#pragma once
// The version check of a template's "ZORP-II VERSION" line.
//
// A version text "major.minor.revision" becomes the decimal number written as
// major, minor padded to 2 digits and revision padded to 4 digits (PadLeftZeros
// keeps only the rightmost digits of a longer part), so 0.0.13 is 13 and 1.2.3
// is 1020003. A template whose number is larger than the program's needs a
// later program.
#include <optional>
#include <string>

namespace zorp {

// The digits of a version text's number without leading zeros ("" for 0), or
// nullopt when the text does not give three numeric parts. Only the first three
// "."-separated parts count; each is trimmed and must be decimal digits.
std::optional<std::string> VersionNumberDigits(const std::string& versionText);

// The program's own number, built the same way from kProgramVersion*.
std::string ProgramVersionDigits();

// True when the version text names a later version than the program's. A text
// without three numeric parts is not checked (false).
bool TemplateNeedsLaterVersion(const std::string& versionText);
// The same against another program's number (VersionNumberDigits of its
// version): what an older build makes of a template.
bool TemplateNeedsLaterVersion(const std::string& versionText, const std::string& programDigits);

} // namespace zorp
