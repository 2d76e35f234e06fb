// Enigma speed on the games' maps: the decoder over every stream of the
// corpus folder, both encoders on the largest map and over the folder.
#include "FormatBench.h"
#include "enigma/Enigma.h"

namespace {

using namespace zorp::bench;

const Folder& Maps() { return LoadFolder("enigma", ".eni"); }

void BM_Decode(benchmark::State& state)
{
    DecodeFolder(state, Maps(), [](const Bytes& s) { return zorp::enigma::Decode(s); });
}

void BM_PackSmallest(benchmark::State& state, bool all)
{
    EncodeFolder(state, Maps(), all, [](const Bytes& d) { return zorp::enigma::PackSmallest(d); });
}

void BM_PackExact(benchmark::State& state, bool all)
{
    EncodeFolder(state, Maps(), all, [](const Bytes& d) { return zorp::enigma::PackExact(d); });
}

} // namespace

BENCHMARK(BM_Decode)->Name("BM_Decode/corpus");
BENCHMARK_CAPTURE(BM_PackSmallest, largest, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, corpus, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, largest, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, corpus, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
