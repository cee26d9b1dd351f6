// Redrawing one 800 x 600 screen at the top, in the middle and at the end of documents of 10 thousand
// and 1 million elements, with and without a selection. The cost must follow the screen, not the
// document: the figures for one position should not grow with the document.

#include "docgen.h"

#include "platform/canvas.h"
#include "tekst/Tekstiboks.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

const QSizeF kEkraan(800, 600);

// Building and laying out a million elements takes seconds, so each document is made once.
Tekstiboks& dokument(std::int64_t nElemente) {
    static std::map<std::int64_t, std::unique_ptr<Tekstiboks>> arrVaated;
    std::unique_ptr<Tekstiboks>& vaade = arrVaated[nElemente];
    if (!vaade) {
        vaade = std::make_unique<Tekstiboks>();
        vaade->SeaNahtavaAlaSuurus(kEkraan);
        docgen::buildDocument(*vaade, docgen::Shape::Mixed, nElemente);
        vaade->ReastaElemendid();
        vaade->Varskenda(false, true, false);
    }
    return *vaade;
}

enum Koht { Ylal, Keskel, Lopus };

void BM_Joonista(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    const auto koht = Koht(state.range(1));
    const bool bValik = state.range(2) != 0;

    const double fMaksY = std::max(0.0, vaade.TooUlatus().height() - kEkraan.height());
    const double fY = koht == Ylal ? 0.0 : koht == Keskel ? fMaksY / 2 : fMaksY;
    vaade.SeaKerimiskoht(QPointF(0, fY));
    const QRectF rVis = vaade.TooNahtavRist();

    // With a selection: from the document's start to the middle of the screen. Without one: the
    // caret on the first visible line, with the focus, so that the caret pass finds it.
    const qint64 nEsimene =
        std::min<qint64>(vaade.EsimeneRidaAlatesY(rVis.top()), qint64(vaade.m_arrRIDA.size()) - 1);
    const qint64 nKeskmine =
        std::min<qint64>(vaade.EsimeneRidaAlatesY(rVis.center().y()), qint64(vaade.m_arrRIDA.size()) - 1);
    vaade.m_bFookuses = true;
    vaade.m_nKursor = vaade.m_arrReaAlgus[size_t(bValik ? nKeskmine : nEsimene)];
    vaade.m_nShiftKursor = bValik ? 0 : vaade.m_nKursor;

    QImage pilt(kEkraan.toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&pilt);
        painter.translate(-rVis.topLeft());
        Canvas canvas(painter);
        vaade.Joonista(canvas);
        painter.end();
        benchmark::DoNotOptimize(pilt.constBits());
    }
    state.counters["lines"] = double(vaade.m_arrRIDA.size());
}

void argumendid(benchmark::internal::Benchmark* b) {
    b->ArgNames({"elements", "place", "selection"});
    for (std::int64_t nElemente : {10'000, 1'000'000})
        for (int nKoht : {Ylal, Keskel, Lopus})
            for (int nValik : {0, 1})
                b->Args({nElemente, nKoht, nValik});
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_Joonista)->Apply(argumendid);
