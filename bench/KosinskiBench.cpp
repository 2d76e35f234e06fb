// Kosinski codec speed on real data: the decoder, the exact encoder, the
// smallest-stream encoder and the straightforward search the exact
// encoder must agree with. Data sets: the eight special stages (SK Set 1),
// every corpus file, the largest one, and 64 KiB of concatenated decoded corpus files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "FormatBench.h"
#include "ReferencePack.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

const std::string kCorpus = std::string(ZORP_CORPUS_DIR) + "/kosinski";

Bytes ReadFile(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

std::vector<fs::path> DecodedFiles()
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kCorpus, ec))
        if (entry.path().extension() == ".dec")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The plain data of each set, as a list of files (one item for single sets).
const std::vector<Bytes>& DataSet(const std::string& name)
{
    static std::map<std::string, std::vector<Bytes>> sets;
    auto it = sets.find(name);
    if (it != sets.end())
        return it->second;
    std::vector<Bytes> items;
    if (name == "SK_Set_1") {
        items.push_back(ReadFile(kCorpus + "/sk__General__Special_Stage__Layout__SK_Set_1.kos.dec"));
    } else if (name == "corpus") {
        for (const fs::path& p : DecodedFiles())
            items.push_back(ReadFile(p));
    } else if (name == "largest") { // the biggest decoded file of the corpus
        const auto& decoded = zorp::bench::LoadFolder("kosinski", ".kos").decoded;
        if (!decoded.empty())
            items.push_back(decoded.back());
    } else { // "64KiB": decoded files in name order, cut at 65536 bytes
        Bytes all;
        for (const fs::path& p : DecodedFiles()) {
            const Bytes b = ReadFile(p);
            all.insert(all.end(), b.begin(), b.end());
            if (all.size() >= 65536)
                break;
        }
        all.resize(std::min<size_t>(all.size(), 65536));
        items.push_back(all);
    }
    return sets.emplace(name, std::move(items)).first->second;
}

bool Missing(benchmark::State& state, const std::vector<Bytes>& items)
{
    if (items.empty() || items.front().empty()) {
        state.SkipWithError("corpus not found");
        return true;
    }
    return false;
}

template <typename Encode>
void RunEncoder(benchmark::State& state, const std::string& set, Encode encode)
{
    const auto& items = DataSet(set);
    if (Missing(state, items))
        return;
    size_t in = 0, out = 0;
    for (auto _ : state) {
        in = out = 0;
        for (const Bytes& b : items) {
            const Bytes stream = encode(b);
            benchmark::DoNotOptimize(stream.data());
            in += b.size();
            out += stream.size();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in));
    state.counters["in_bytes"] = static_cast<double>(in);
    state.counters["out_bytes"] = static_cast<double>(out);
}

void BM_PackExact(benchmark::State& state, std::string set)
{
    RunEncoder(state, set, [](const Bytes& b) { return zorp::modVorlith_Pack::Pack(b); });
}

void BM_PackSmallest(benchmark::State& state, std::string set)
{
    RunEncoder(state, set, [](const Bytes& b) { return zorp::PackSmallest(b); });
}

void BM_PackReference(benchmark::State& state, std::string set)
{
    RunEncoder(state, set, [](const Bytes& b) { return zorp::reference::Pack(b); });
}

// Decoding the exact encoder's streams of the set; output bytes per second.
void BM_Decode(benchmark::State& state, std::string set)
{
    const auto& items = DataSet(set);
    if (Missing(state, items))
        return;
    std::vector<Bytes> streams;
    size_t plain = 0;
    for (const Bytes& b : items) {
        streams.push_back(zorp::modVorlith_Pack::Pack(b));
        plain += b.size();
    }
    for (auto _ : state) {
        for (const Bytes& s : streams) {
            auto r = zorp::modVorlith_Extract::Decode(s);
            benchmark::DoNotOptimize(r.output.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain));
}

// Decoding the games' own streams of the corpus (the .kos files).
void BM_DecodeGamesStreams(benchmark::State& state)
{
    std::vector<Bytes> streams;
    size_t plain = 0;
    for (const fs::path& p : DecodedFiles()) {
        streams.push_back(ReadFile(fs::path(p).replace_extension("")));
        plain += ReadFile(p).size();
    }
    if (Missing(state, streams))
        return;
    for (auto _ : state)
        for (const Bytes& s : streams) {
            auto r = zorp::modVorlith_Extract::Decode(s);
            benchmark::DoNotOptimize(r.output.data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain));
}

} // namespace

BENCHMARK(BM_DecodeGamesStreams)->Name("BM_DecodeGamesStreams/corpus");
BENCHMARK_CAPTURE(BM_Decode, SK_Set_1, std::string("SK_Set_1"));
BENCHMARK_CAPTURE(BM_Decode, corpus, std::string("corpus"));
BENCHMARK_CAPTURE(BM_Decode, 64KiB, std::string("64KiB"));
BENCHMARK_CAPTURE(BM_PackExact, SK_Set_1, std::string("SK_Set_1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, corpus, std::string("corpus"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, 64KiB, std::string("64KiB"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, SK_Set_1, std::string("SK_Set_1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, corpus, std::string("corpus"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, 64KiB, std::string("64KiB"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, largest, std::string("largest"))->Unit(benchmark::kMillisecond);
// The straightforward search takes seconds (SK Set 1) to about a minute
// (64 KiB): one run each.
BENCHMARK_CAPTURE(BM_PackReference, SK_Set_1, std::string("SK_Set_1"))
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_PackReference, 64KiB, std::string("64KiB"))->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
