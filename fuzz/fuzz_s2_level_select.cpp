// Sonic 2's level select: the highlight table (88 bytes), the order table
// (44 bytes) and the decoded plane map (the rest; the first byte's low bit
// pads it to the 2240 bytes the screen has, so both the size check and the
// names are reached). A name whose field holds only letters must write back
// into the same cells it was read from.
#include <cstddef>
#include <cstdint>

#include "template/S2LevelSelect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < zorp::kS2LevelSelectMarkBytes + zorp::kS2LevelSelectOrderBytes)
        return 0;
    const zorp::Bytes marks(data, data + zorp::kS2LevelSelectMarkBytes);
    const zorp::Bytes order(data + zorp::kS2LevelSelectMarkBytes,
                            data + zorp::kS2LevelSelectMarkBytes + zorp::kS2LevelSelectOrderBytes);
    zorp::Bytes map(data + zorp::kS2LevelSelectMarkBytes + zorp::kS2LevelSelectOrderBytes, data + size);
    if (data[0] & 1)
        map.resize(zorp::kS2LevelSelectMapBytes, 0x40);
    auto read = zorp::S2LevelSelect::FromBytes(map, marks, order);
    if (!read.ok())
        return 0;
    zorp::S2LevelSelect& model = read.model;
    if (model.MapBytes() != map || model.OrderBytes() != order)
        __builtin_trap();
    for (size_t i = 0; i < model.Names().size(); ++i) {
        const zorp::S2LevelSelectName& name = model.Names()[i];
        if (name.column < 0 || name.end > zorp::kS2LevelSelectColumns || name.end < name.column)
            __builtin_trap();
        const std::string text = model.NameText(i);
        const bool letters = text.find('?') == std::string::npos;
        const std::string error = model.SetNameText(i, text);
        if (letters && (!error.empty() || model.MapBytes() != map))
            __builtin_trap();
        (void)model.SetNameText(i, "A NAME TOO LONG FOR ANY FIELD ON THIS SCREEN");
    }
    (void)model.Warnings();
    return 0;
}
