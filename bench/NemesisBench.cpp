// Nemesis codec speed on the real streams of corpus/nemesis: the decoder
// over every stream (output bytes per second), and both encoders on the
// largest file (44,000 bytes decoded), over the whole folder and over the
// first KiB of each file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "nemesis/Nemesis.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

const std::string kCorpus = std::string(ZORP_CORPUS_DIR) + "/nemesis";

Bytes ReadFile(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

std::vector<fs::path> Files(const std::string& extension)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kCorpus, ec))
        if (entry.path().extension() == extension)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

const std::vector<Bytes>& Streams()
{
    static const std::vector<Bytes> streams = [] {
        std::vector<Bytes> s;
        for (const fs::path& p : Files(".nem"))
            s.push_back(ReadFile(p));
        return s;
    }();
    return streams;
}

// "largest": the largest decoded file; "corpus": every decoded file;
// "1KiB": the first KiB of every decoded file (the fuzz target's size).
const std::vector<Bytes>& Plain(const std::string& set)
{
    static const std::vector<Bytes> all = [] {
        std::vector<Bytes> p;
        for (const fs::path& f : Files(".dec"))
            p.push_back(ReadFile(f));
        return p;
    }();
    static const std::vector<Bytes> largest = [] {
        std::vector<Bytes> l;
        if (!all.empty())
            l.push_back(*std::max_element(all.begin(), all.end(),
                                          [](const Bytes& a, const Bytes& b) { return a.size() < b.size(); }));
        return l;
    }();
    static const std::vector<Bytes> firstKiB = [] {
        std::vector<Bytes> k;
        for (const Bytes& b : all)
            k.emplace_back(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(b.size(), 1024)));
        return k;
    }();
    return set == "largest" ? largest : set == "1KiB" ? firstKiB : all;
}

void BM_Decode(benchmark::State& state)
{
    const auto& streams = Streams();
    if (streams.empty()) {
        state.SkipWithError("corpus not found");
        return;
    }
    size_t out = 0;
    for (auto _ : state) {
        out = 0;
        for (const Bytes& s : streams) {
            auto r = zorp::nemesis::Decode(s);
            benchmark::DoNotOptimize(r.output.data());
            out += r.output.size();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

template <typename Encode>
void RunEncoder(benchmark::State& state, const std::string& set, Encode encode)
{
    const auto& items = Plain(set);
    if (items.empty()) {
        state.SkipWithError("corpus not found");
        return;
    }
    size_t in = 0, out = 0;
    for (auto _ : state) {
        in = out = 0;
        for (const Bytes& b : items) {
            const auto r = encode(b);
            benchmark::DoNotOptimize(r.stream.data());
            in += b.size();
            out += r.stream.size();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in));
    state.counters["in_bytes"] = static_cast<double>(in);
    state.counters["out_bytes"] = static_cast<double>(out);
}

void BM_PackSmallest(benchmark::State& state, std::string set)
{
    RunEncoder(state, set, [](const Bytes& b) { return zorp::nemesis::PackSmallest(b); });
}

void BM_PackExact(benchmark::State& state, std::string set)
{
    RunEncoder(state, set, [](const Bytes& b) { return zorp::nemesis::PackExact(b); });
}

} // namespace

BENCHMARK(BM_Decode);
BENCHMARK_CAPTURE(BM_PackSmallest, largest, std::string("largest"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, corpus, std::string("corpus"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, 1KiB, std::string("1KiB"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, largest, std::string("largest"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, corpus, std::string("corpus"))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
