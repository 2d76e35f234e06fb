#pragma once
// The program's own version, against which templates are checked.
namespace zorp {

inline constexpr int kProgramVersionMajor = 0;
inline constexpr int kProgramVersionMinor = 0;
inline constexpr int kProgramVersionRevision = 13;

} // namespace zorp
