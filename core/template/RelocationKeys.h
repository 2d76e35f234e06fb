#pragma once
// The keys of the template blocks whose data is compressed and can move when
// a save makes it longer (S1STAGES, and the blocks written after it in the
// same style). Per revision a template names, in the block:
//
//   FORMAT: ENIGMA            the compression: ENIGMA, NEMESIS, KOSINSKI or
//                             KOSINSKIM (Kosinski Moduled)
//   FREESPACE: first: last    a range (first and last byte) the save may
//                             move streams into; repeatable
//   FREESPACE: first: END     from first to the end of the image, so the
//                             part a grown image added is found again
//   FILLER: 0xFF              the byte free space holds (default 0xFF)
//
// Free space is used only where it still holds the filler byte, and never
// where a stream lies now (see rom/FreeSpace.h). The data itself is found
// through the block's own pointer keys (POINTERS for a table of 32-bit
// addresses, POINTER for one address, e.g. the operand of an instruction).
#include <string>

#include "template/EditorSetups.h"
#include "template/TemplateLines.h"

namespace zorp {

// At most this many FREESPACE lines per block.
inline constexpr size_t kMaxFreeRanges = 64;

enum class KeyUse {
    NotMine,  // not one of these keys
    Taken,    // taken (or without effect: a value that is not a number)
    Refused,  // the value cannot be used: the block is refused with `error`
};

KeyUse TakeRelocationKey(const BlockLine& line, RelocationSetup& setup, std::string& error);

// A 32-bit address key (POINTER, POINTERS, STARTPOS): the offset inside the
// cartridge space; refused when negative or past it.
KeyUse TakeOffsetKey(const BlockLine& line, int32_t& offset, std::string& error);

} // namespace zorp
