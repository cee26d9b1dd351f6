// Measuring and laying out whole documents; both must grow linearly with the document.

#include "docgen.h"
#include "tekst/SharedMeasurer.h"
#include "tekst/Tekstiboks.h"

#include <benchmark/benchmark.h>

namespace {

docgen::Shape shapeArg(const benchmark::State& state) {
    return static_cast<docgen::Shape>(state.range(0));
}

void setLabel(benchmark::State& state, docgen::Shape shape) {
    state.SetLabel(docgen::shapeName(shape));
}

// Re-measuring every element with sharing, as a zoom does.
void BM_MeasureDocument(benchmark::State& state) {
    const docgen::Shape shape = shapeArg(state);
    Tekstiboks box;
    docgen::buildDocument(box, shape, state.range(1));
    for (auto _ : state) {
        SharedMeasurer mootja(box.m_arrJooksevKiri, box.m_fSuum);
        for (const auto& loik : box.m_arrLOIK) {
            for (const auto& e : loik->m_arrELEMENT)
                mootja.Mooda(*e);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(1));
    setLabel(state, shape);
}

// Laying the whole document out at a content width, after a first layout (as a resize does).
void BM_LayoutDocument(benchmark::State& state) {
    const docgen::Shape shape = shapeArg(state);
    Tekstiboks box;
    const double fSisuLaius = static_cast<double>(state.range(2));
    box.SeaNahtavaAlaSuurus(QSizeF(fSisuLaius + 2 * box.m_cServad.width(), 600));
    docgen::buildDocument(box, shape, state.range(1));
    box.ReastaElemendid();
    for (auto _ : state) {
        box.ReastaElemendid();
        benchmark::DoNotOptimize(box.m_arrRIDA.data());
    }
    state.counters["lines"] = static_cast<double>(box.m_arrRIDA.size());
    state.SetItemsProcessed(state.iterations() * state.range(1));
    setLabel(state, shape);
}

void documentArgs(benchmark::internal::Benchmark* b, bool bWidths) {
    for (int shape = 0; shape < 3; ++shape) {
        for (std::int64_t n : {10'000, 100'000, 1'000'000}) {
            if (bWidths) {
                for (std::int64_t w : {400, 1200})
                    b->Args({shape, n, w});
            } else {
                b->Args({shape, n});
            }
        }
    }
}

BENCHMARK(BM_MeasureDocument)
    ->Apply([](benchmark::internal::Benchmark* b) { documentArgs(b, false); })
    ->ArgNames({"shape", "elements"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutDocument)
    ->Apply([](benchmark::internal::Benchmark* b) { documentArgs(b, true); })
    ->ArgNames({"shape", "elements", "width"})
    ->Unit(benchmark::kMillisecond);

} // namespace
