#pragma once
// Synthetic Sonic 1 images laid out as the game facts give it: the 512 KiB
// image with the real header texts, the layout pointer table and start
// table at the revision's offsets, the six streams back to back from
// 0x65432, other data right after them, and the 0xFF filler before the
// sound driver as the only free space; everything else is noise.
//
// The streams come from the codec the test hands in: the real Enigma
// encoder, or RunCodec below, a small run-length format standing in for it
// in tests of the layout and save logic (its streams grow and shrink with
// the layout just as Enigma's do).
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "codec/CodecCalls.h"
#include "rom/Bytes.h"
#include "rom/FreeSpace.h"
#include "rom/RomSave.h"
#include "rom/tests/RomTestFiles.h"
#include "stage/S1Stage.h"
#include "template/EditorSetups.h"

namespace s1test {

using zorp::Bytes;

struct Revision {
    const char* name;
    romtest::GameHeader (*header)();
    int32_t pointers;
    int32_t starts;
    uint64_t freeFirst;
    uint64_t freeLast;
};
inline const Revision kRev00{"REV00", romtest::Sonic1Rev00, 0x1B64C, 0x1B664, 0x71366, 0x7198F};
inline const Revision kRev01{"REV01", romtest::Sonic1Rev01, 0x1BE02, 0x1BE1A, 0x71354, 0x7198F};

constexpr uint64_t kImageSize = 0x80000;
constexpr uint64_t kFirstStream = 0x65432;
inline const zorp::S1Start kStarts[6] = {{0x3D0, 0x2E0}, {0x328, 0x574}, {0x4E4, 0x2E0},
                                          {0x3AD, 0x2E0}, {0x340, 0x6B8}, {0x49B, 0x358}};

inline zorp::S1StagesSetup SetupOf(const Revision& rev)
{
    zorp::S1StagesSetup setup;
    setup.pointerTable = rev.pointers;
    setup.startTable = rev.starts;
    setup.relocation.freeRanges = {{static_cast<int64_t>(rev.freeFirst), static_cast<int64_t>(rev.freeLast), false},
                                   {static_cast<int64_t>(kImageSize), 0, true}};
    return setup;
}

// A stage a player could finish: a walled maze with rings, GOAL blocks and
// stage k's emerald, the start cell left open.
inline zorp::S1Grid MakeLayout(int stage)
{
    zorp::S1Grid grid{};
    auto put = [&](int column, int row, uint8_t id) { grid[static_cast<size_t>(zorp::S1CellIndex(column, row))] = id; };
    for (int i = 6; i < 54; ++i) {
        put(i, 10, zorp::kS1BlueWall);
        put(i, 53, zorp::kS1YellowWall);
        put(6, i + 4 > 53 ? 53 : i + 4, zorp::kS1PinkWall);
        put(53, i + 4 > 53 ? 53 : i + 4, zorp::kS1GreenWall);
    }
    for (int i = 0; i < 6 + stage * 3; ++i)
        put(10 + (i * 7) % 36, 10 + (i * 5) % 36, zorp::kS1Ring);
    put(20, 20 + stage, zorp::S1EmeraldOfStage(stage));
    put(30, 30, zorp::kS1Goal);
    return grid;
}

inline Bytes BytesOf(const zorp::S1Grid& grid) { return Bytes(grid.begin(), grid.end()); }

// Run-length stand-in codec: pairs (count 1..255, value), then a 0 count.
inline zorp::CodecCalls RunCodec()
{
    zorp::FormatCalls calls;
    calls.decode = [](const Bytes& in, size_t start, size_t cap) {
        zorp::DecodedStream out;
        size_t at = start;
        while (true) {
            if (at >= in.size()) {
                out.error = "The stream ends before its end code.";
                break;
            }
            const uint8_t count = in[at++];
            if (count == 0)
                break;
            if (at >= in.size()) {
                out.error = "The stream ends inside a run.";
                break;
            }
            if (out.data.size() + count > cap) {
                out.error = "The stream decodes to more than the layout holds.";
                break;
            }
            out.data.insert(out.data.end(), count, in[at++]);
        }
        out.consumed = at - start;
        return out;
    };
    calls.packSmallest = [](const Bytes& data) {
        zorp::EncodedStream out;
        for (size_t i = 0; i < data.size();) {
            size_t run = 1;
            while (i + run < data.size() && run < 255 && data[i + run] == data[i])
                ++run;
            out.stream.push_back(static_cast<uint8_t>(run));
            out.stream.push_back(data[i]);
            i += run;
        }
        out.stream.push_back(0);
        return out;
    };
    calls.packExact = calls.packSmallest;
    zorp::CodecCalls codec;
    codec.enigma = calls;
    return codec;
}

struct Image {
    Bytes bytes;
    std::vector<zorp::ByteRange> streams;
};

// The image with the given streams (default: the codec's streams of
// MakeLayout) and a matching header checksum and ROM end.
inline Image MakeImage(const Revision& rev, const zorp::CodecCalls& codec, std::vector<Bytes> streams = {})
{
    Image image;
    image.bytes = romtest::GameImage(kImageSize, rev.header(), 17);
    if (streams.empty())
        for (int k = 0; k < 6; ++k)
            streams.push_back(codec.enigma.packSmallest(BytesOf(MakeLayout(k))).stream);
    uint64_t at = kFirstStream;
    for (size_t k = 0; k < streams.size(); ++k) {
        at += at % 2;
        std::copy(streams[k].begin(), streams[k].end(), image.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        image.streams.push_back({at, streams[k].size()});
        for (int i = 0; i < 4; ++i)
            image.bytes[static_cast<size_t>(rev.pointers) + 4 * k + static_cast<size_t>(i)] =
                static_cast<uint8_t>(at >> (24 - 8 * i));
        zorp::WriteS1Start(image.bytes, static_cast<size_t>(rev.starts) + 4 * k, kStarts[k]);
        at += streams[k].size();
    }
    std::fill(image.bytes.begin() + static_cast<std::ptrdiff_t>(rev.freeFirst),
              image.bytes.begin() + static_cast<std::ptrdiff_t>(rev.freeLast + 1), 0xFF);
    zorp::GrowImage(image.bytes, kImageSize, 0xFF); // the ROM end in the header
    zorp::FixHeaderChecksum(image.bytes);
    return image;
}

// The six real streams of a revision from the corpus (the disassembly's
// files, even padding included); empty when the corpus is absent.
inline std::vector<Bytes> CorpusStreams(const Revision& rev)
{
    std::vector<Bytes> streams;
    const bool rev00 = std::string(rev.name) == "REV00";
    for (int k = 1; k <= 6; ++k) {
        std::string name = "s1-ss-layout-" + std::to_string(k);
        if (k >= 5)
            name += rev00 ? "-rev00" : "-rev01";
        const std::string path = std::string(ZORP_CORPUS_DIR) + "/stages/" + name + ".eni";
        const auto size = zorp::FileSize(path);
        const auto bytes = size ? zorp::ReadFileBytes(path) : std::nullopt;
        if (!bytes)
            return {};
        streams.push_back(*bytes);
    }
    return streams;
}

// The offsets at which two images differ, as [first, last] runs.
inline std::vector<std::pair<uint64_t, uint64_t>> DiffRuns(const Bytes& a, const Bytes& b)
{
    std::vector<std::pair<uint64_t, uint64_t>> runs;
    for (uint64_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const bool same = i < a.size() && i < b.size() && a[i] == b[i];
        if (same)
            continue;
        if (!runs.empty() && runs.back().second + 1 == i)
            runs.back().second = i;
        else
            runs.push_back({i, i});
    }
    return runs;
}

} // namespace s1test
