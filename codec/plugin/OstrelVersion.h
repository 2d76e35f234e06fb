#pragma once
// Identity of the codec library as its about window shows it.
namespace ostrel {

inline constexpr char kLibraryTitle[] = "The Ostrel";
inline constexpr char kMaker[] = "Tazzle Software";
inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 4;

} // namespace ostrel
