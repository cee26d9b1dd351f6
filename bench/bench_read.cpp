// Reading a document (tokens, styles, measuring with sharing, search text, layout, refresh) and
// zooming it: both are whole-document work and must grow linearly with the document.

#include "docgen.h"
#include "platform/messagebox.h"
#include "tekst/Tekstiboks.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Read(benchmark::State& state) {
    const auto shape = docgen::Shape(state.range(0));
    const std::int64_t nElements = state.range(1);
    const QString strVlm = docgen::writeVlm(shape, nElements);
    setMessageBoxHandler([](const QString&, const QString&) { return true; });
    for (auto _ : state) {
        Tekstiboks box;
        box.SeaNahtavaAlaSuurus(QSizeF(800, 600));
        benchmark::DoNotOptimize(box.AvaFail(strVlm));
    }
    state.SetLabel(docgen::shapeName(shape));
    state.SetItemsProcessed(state.iterations() * nElements);
}

void BM_Zoom(benchmark::State& state) {
    const auto shape = docgen::Shape(state.range(0));
    const std::int64_t nElements = state.range(1);
    Tekstiboks box;
    box.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    box.AvaFail(docgen::writeVlm(shape, nElements));
    double fSuum = 100;
    for (auto _ : state) {
        fSuum = fSuum == 100 ? 140 : 100;
        box.Suumi(fSuum);
    }
    state.SetLabel(docgen::shapeName(shape));
    state.SetItemsProcessed(state.iterations() * nElements);
}

void argumendid(benchmark::internal::Benchmark* b) {
    for (auto shape : {docgen::Shape::Words, docgen::Shape::Mixed})
        for (std::int64_t n : {10'000, 100'000, 1'000'000})
            b->Args({std::int64_t(shape), n});
}

} // namespace

BENCHMARK(BM_Read)->Apply(argumendid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zoom)->Apply(argumendid)->Unit(benchmark::kMillisecond);
