#include "template/RelocatableStream.h"

#include <algorithm>
#include <cstdio>

namespace zorp {

namespace {

// Longest stream read from the image for one decode: these streams are a few
// KiB, and no decoder is handed a whole image because an address said so.
constexpr uint64_t kMaxStreamWindow = 1u << 20;

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

std::optional<uint32_t> ReadLong(const ByteSource& rom, uint64_t offset)
{
    if (!FitsInFile(offset, 4, rom.Size()))
        return std::nullopt;
    Bytes b = rom.Read(offset, 4);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

Bytes LongBytes(uint32_t value)
{
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
}

StreamLoad LoadRelocatableStream(const ByteSource& rom, const RelocatableStream& place, const FormatCalls& codec,
                                 size_t outputCap, const std::string& what, const std::string& title)
{
    StreamLoad load;
    auto fail = [&](std::string line) {
        load.error = Message{MessageIcon::Critical, title, {std::move(line), "The editor stays disabled."}};
        return load;
    };
    if (!codec.decode)
        return fail("The codec library that reads " + what + " is not available.");
    auto address = ReadLong(rom, static_cast<uint64_t>(place.pointer));
    if (!address)
        return fail("The address of " + what + " (at " + Hex(static_cast<uint64_t>(place.pointer)) +
                    ") lies past the end of the ROM.");
    if (*address >= rom.Size())
        return fail("The address of " + what + " (" + Hex(*address) + ") points past the end of the ROM (" +
                    std::to_string(rom.Size()) + " bytes).");
    load.address = *address;
    uint64_t window = std::min<uint64_t>(rom.Size() - load.address, kMaxStreamWindow);
    Bytes stream = rom.Read(load.address, static_cast<size_t>(window));
    DecodedStream decoded = codec.decode(stream, 0, outputCap);
    if (!decoded.ok())
        return fail("Cannot read " + what + " at " + Hex(load.address) + ": " + decoded.error);
    load.data = std::move(decoded.data);
    // A stream the template places keeps the room it was given there (its
    // own bytes and the slack after them); a moved one owns its own length,
    // rounded to even as the game's words need.
    uint64_t own = (decoded.consumed + 1) & ~uint64_t{1};
    bool inPlace = place.offset >= 0 && load.address == static_cast<uint64_t>(place.offset);
    load.occupied = inPlace ? std::max<uint64_t>(static_cast<uint64_t>(place.room), decoded.consumed) : own;
    load.occupied = std::min<uint64_t>(load.occupied, rom.Size() - load.address);
    return load;
}

} // namespace zorp
