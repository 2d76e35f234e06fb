#pragma once
// Synthetic cartridge images and a scratch folder for the ROM tests. No real
// game image is part of the project: images carry the real header texts (from
// the game facts) and pseudo-random contents.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "rom/Bytes.h"

namespace romtest {

// A scratch folder removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zorp-rom-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const zorp::Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline void Put(zorp::Bytes& image, size_t offset, const std::string& text)
{
    if (image.size() < offset + text.size())
        image.resize(offset + text.size(), 0);
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Pseudo-random bytes, different per seed, so that a byte put in the wrong
// place shows.
inline zorp::Bytes NoiseBytes(size_t size, uint32_t seed)
{
    zorp::Bytes data(size);
    uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x >> 24);
    }
    return data;
}

// One half of a Genesis title field (48 characters).
inline std::string Half(const std::string& name, size_t spacesBetween, const std::string& last)
{
    std::string half = name + std::string(spacesBetween, ' ') + last;
    return half + std::string(48 - half.size(), ' ');
}

// The header texts of the real games (game facts, Table H1 / H2).
struct GameHeader {
    std::string console; // 16 characters at 0x100
    std::string half;    // 48 characters, at 0x120 and again at 0x150
    std::string serial;  // 14 characters at 0x180
};

inline GameHeader Sonic1Rev00() { return {"SEGA MEGA DRIVE ", Half("SONIC THE", 15, "HEDGEHOG"), "GM 00001009-00"}; }
inline GameHeader Sonic1Rev01() { return {"SEGA MEGA DRIVE ", Half("SONIC THE", 15, "HEDGEHOG"), "GM 00004049-01"}; }
inline GameHeader Sonic2() { return {"SEGA GENESIS    ", Half("SONIC THE", 13, "HEDGEHOG 2"), "GM 00001051-01"}; }
inline GameHeader Sonic2Rev00() { return {"SEGA GENESIS    ", Half("SONIC THE", 13, "HEDGEHOG 2"), "GM 00001051-00"}; }
inline GameHeader Sonic3() { return {"SEGA GENESIS    ", Half("SONIC THE", 13, "HEDGEHOG 3"), "GM MK-1079 -00"}; }
inline GameHeader SonicKnuckles() { return {"SEGA GENESIS    ", Half("SONIC & KNUCKLES", 0, ""), "GM MK-1563 -00"}; }
inline GameHeader OtherGame() { return {"SEGA GENESIS    ", Half("SOME OTHER GAME", 0, ""), "GM 12345678-00"}; }

// Writes a header at base (0 for a cartridge, 0x200000 for a locked-on one).
inline void PutHeader(zorp::Bytes& image, size_t base, const GameHeader& header)
{
    Put(image, base + 0x100, header.console);
    Put(image, base + 0x120, header.half + header.half);
    Put(image, base + 0x180, header.serial);
    Put(image, base + 0x1F0, "JUE             ");
}

// A plain image of size bytes: noise with the game's header.
inline zorp::Bytes GameImage(size_t size, const GameHeader& header, uint32_t seed = 1)
{
    zorp::Bytes image = NoiseBytes(size, seed);
    PutHeader(image, 0, header);
    return image;
}

} // namespace romtest
