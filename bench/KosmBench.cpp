// Kosinski Moduled speed on the games' art: the decoder over every stream of
// the corpus folder, both encoders on the largest file and over the folder.
#include "FormatBench.h"
#include "kosm/KosinskiModuled.h"

namespace {

using namespace zorp::bench;

const Folder& Art() { return LoadFolder("kosm", ".kosm"); }

void BM_Decode(benchmark::State& state)
{
    DecodeFolder(state, Art(), [](const Bytes& s) { return zorp::kosm::Decode(s); });
}

void BM_PackSmallest(benchmark::State& state, bool all)
{
    EncodeFolder(state, Art(), all, [](const Bytes& d) { return zorp::kosm::PackSmallest(d); });
}

void BM_PackExact(benchmark::State& state, bool all)
{
    EncodeFolder(state, Art(), all, [](const Bytes& d) { return zorp::kosm::PackExact(d); });
}

} // namespace

BENCHMARK(BM_Decode)->Name("BM_Decode/corpus");
BENCHMARK_CAPTURE(BM_PackSmallest, largest, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackSmallest, corpus, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, largest, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackExact, corpus, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
