#pragma once
// A compressed stream that the game finds through one absolute 32-bit
// address stored in its code (the operand of the one instruction that loads
// it): Sonic 2's special stage layouts and object lists, its level select
// map. Because the address is the only reference, a stream that grows can
// move anywhere in the image and the address follows it.
//
// Reading follows the address, not the template's offset, so a stream moved
// by an earlier save is found where it now is.
#include <cstdint>
#include <optional>
#include <string>

#include "codec/CodecCalls.h"
#include "rom/Message.h"
#include "template/ByteSource.h"
#include "template/EditorSetups.h"

namespace zorp {

struct StreamLoad {
    Bytes data;              // decoded
    uint64_t address = 0;    // where the stream starts now
    uint64_t occupied = 0;   // bytes it may fill there: the template's room in place, else its own length
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

// Reads the address at place.pointer and decodes the stream there, producing
// at most outputCap bytes. `what` names the data in messages ("the special
// stage layouts"); `title` is the message box title.
StreamLoad LoadRelocatableStream(const ByteSource& rom, const RelocatableStream& place, const FormatCalls& codec,
                                 size_t outputCap, const std::string& what, const std::string& title);

// The big-endian long at offset (nullopt past the end).
std::optional<uint32_t> ReadLong(const ByteSource& rom, uint64_t offset);
Bytes LongBytes(uint32_t value);

} // namespace zorp
