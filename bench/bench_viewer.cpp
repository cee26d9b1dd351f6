// What a viewer does besides showing: laying the document out for paper and breaking it into pages,
// reading the file again, counting a search text's occurrences (whole-document work, linear in the
// document), and what a key press costs with them: the next occurrence from the kept count, and a
// caret move told to a screen reader (the cost of the visible part, not growing with the document).

#include "docgen.h"

#include "platform/accessibility.h"
#include "platform/messagebox.h"
#include "tekst/Tekstiboks.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

// Building and laying out a million elements takes seconds, so each document is made once.
Tekstiboks& dokument(std::int64_t nElemente) {
    static std::map<std::int64_t, std::unique_ptr<Tekstiboks>> arrVaated;
    std::unique_ptr<Tekstiboks>& vaade = arrVaated[nElemente];
    if (!vaade) {
        vaade = std::make_unique<Tekstiboks>();
        vaade->SeaNahtavaAlaSuurus(QSizeF(800, 600));
        docgen::buildDocument(*vaade, docgen::Shape::Words, nElemente);
        vaade->ReastaElemendid();
        vaade->Varskenda(false, true, false);
    }
    return *vaade;
}

// A copy of the document measured and laid out for A4 paper at 100 %, and broken into pages.
void BM_Paberile(benchmark::State& state) {
    const Tekstiboks& vaade = dokument(state.range(0));
    const QSizeF cAla(481.9, 728.5);
    for (auto _ : state) {
        const std::unique_ptr<Tekstiboks> paber = vaade.LooPaberiVaade(cAla);
        benchmark::DoNotOptimize(paber->TooLehed(cAla).size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Reading the open file again, keeping the zoom, the selection and the scroll position.
void BM_LaadiUuesti(benchmark::State& state) {
    QTemporaryDir kaust;
    QFile fail(kaust.filePath("d.vlm"));
    if (!fail.open(QIODevice::WriteOnly) ||
        fail.write(docgen::writeVlm(docgen::Shape::Mixed, state.range(0)).toUtf8()) < 0) {
        state.SkipWithError("could not write the document");
        return;
    }
    fail.close();
    setMessageBoxHandler([](const QString&, const QString&) { return true; });
    Tekstiboks vaade;
    vaade.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    vaade.Ava(fail.fileName());
    for (auto _ : state)
        benchmark::DoNotOptimize(vaade.LaadiUuesti());
    setMessageBoxHandler({});
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Counting the occurrences of a frequent text anew (two texts in turn, so that neither is kept).
void BM_Loenda(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    bool bEsimene = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vaade.LoendaLeiud(bEsimene ? QStringLiteral("a") : QStringLiteral("e")).size());
        bEsimene = !bEsimene;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// F3 with the count kept: the next occurrence of a frequent text, found by bisection.
void BM_OtsiJargmine(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    vaade.m_nKursor = vaade.m_nShiftKursor = vaade.TooMaksKursor() / 2;
    vaade.LoendaLeiud(QStringLiteral("e"));
    for (auto _ : state)
        vaade.OtsiJargmine(QStringLiteral("e"));
}

// Right and Left in turn in the middle of the document, each told to a listening screen reader.
void BM_KlahvLigipaasuga(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    qint64 nSundmusi = 0;
    setAccessibilityHandler([&nSundmusi](QAccessibleEvent&) { ++nSundmusi; });
    vaade.m_nKursor = vaade.m_nShiftKursor = vaade.TooMaksKursor() / 2;
    vaade.Varskenda(true, false, false);
    QKeyEvent edasi(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QKeyEvent tagasi(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    bool bEdasi = true;
    for (auto _ : state) {
        QCoreApplication::sendEvent(&vaade, bEdasi ? &edasi : &tagasi);
        bEdasi = !bEdasi;
    }
    setAccessibilityHandler({});
    if (nSundmusi < state.iterations())
        state.SkipWithError("the caret moves were not told");
}

void suurused(benchmark::internal::Benchmark* b) {
    b->ArgName("elements")->Arg(10'000)->Arg(1'000'000);
}

} // namespace

BENCHMARK(BM_Paberile)->Apply(suurused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaadiUuesti)->Apply(suurused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Loenda)->Apply(suurused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OtsiJargmine)->Apply(suurused)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KlahvLigipaasuga)->Apply(suurused)->Unit(benchmark::kMicrosecond);
