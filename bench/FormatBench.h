#pragma once
// What the format benchmarks share: a corpus folder's streams and decoded
// files, and the loops that time a decoder and an encoder over them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zorp::bench {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

// The streams of a corpus folder (files with the extension) and their
// decoded files, in name order; the largest decoded file last.
struct Folder {
    std::vector<Bytes> streams;
    std::vector<Bytes> decoded;
    size_t decodedBytes = 0;
};

inline const Folder& LoadFolder(const std::string& format, const std::string& extension)
{
    static std::vector<std::pair<std::string, Folder>> cache;
    for (const auto& [name, folder] : cache)
        if (name == format)
            return folder;
    Folder folder;
    std::vector<std::filesystem::path> paths;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(std::string(ZORP_CORPUS_DIR) + "/" + format, ec))
        if (e.path().extension() == extension)
            paths.push_back(e.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& p : paths) {
        folder.streams.push_back(ReadFile(p));
        folder.decoded.push_back(ReadFile(p.string() + ".dec"));
        folder.decodedBytes += folder.decoded.back().size();
    }
    auto bigger = [](const Bytes& a, const Bytes& b) { return a.size() < b.size(); };
    if (!folder.decoded.empty()) {
        const auto largest = std::max_element(folder.decoded.begin(), folder.decoded.end(), bigger);
        std::iter_swap(largest, folder.decoded.end() - 1);
    }
    cache.emplace_back(format, std::move(folder));
    return cache.back().second;
}

// Decoded output bytes per second over every stream of the folder.
template <typename Decode>
void DecodeFolder(benchmark::State& state, const Folder& folder, Decode decode)
{
    if (folder.streams.empty()) {
        state.SkipWithError("corpus not found");
        return;
    }
    for (auto _ : state)
        for (const Bytes& s : folder.streams) {
            auto r = decode(s);
            benchmark::DoNotOptimize(r.output.data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * folder.decodedBytes));
}

// An encoder over the largest decoded file (`all` false) or over all of them.
template <typename Encode>
void EncodeFolder(benchmark::State& state, const Folder& folder, bool all, Encode encode)
{
    if (folder.decoded.empty()) {
        state.SkipWithError("corpus not found");
        return;
    }
    const auto first = all ? folder.decoded.begin() : folder.decoded.end() - 1;
    size_t in = 0, out = 0;
    for (auto _ : state) {
        in = out = 0;
        for (auto it = first; it != folder.decoded.end(); ++it) {
            const auto r = encode(*it);
            benchmark::DoNotOptimize(r.stream.data());
            in += it->size();
            out += r.stream.size();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in));
    state.counters["in_bytes"] = static_cast<double>(in);
    state.counters["out_bytes"] = static_cast<double>(out);
}

} // namespace zorp::bench
