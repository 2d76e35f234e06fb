#pragma once
// The program's own version, against which templates are checked.
#include <string>

namespace zorp {

inline constexpr int kProgramVersionMajor = 0;
inline constexpr int kProgramVersionMinor = 0;
inline constexpr int kProgramVersionRevision = 14;

// "0.0.14", as --version prints it and the package is numbered.
inline std::string ProgramVersionText()
{
    return std::to_string(kProgramVersionMajor) + "." + std::to_string(kProgramVersionMinor) + "." +
           std::to_string(kProgramVersionRevision);
}

} // namespace zorp
