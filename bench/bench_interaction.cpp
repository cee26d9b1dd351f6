// What the user does with a shown document of 10 thousand and 1 million elements: key presses, a
// click and a drag step, each with its refresh, sent as real events to the view; a scroll step with
// the redraw it brings; search; select all with copy. A key press, a click, a drag step and a scroll
// step must cost what the visible part costs, so their figures should not grow with the document;
// search and copy are linear in it.

#include "docgen.h"

#include "platform/messagebox.h"
#include "platform/pasteboard.h"
#include "tekst/ELMARK.h"
#include "tekst/Tekstiboks.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

const QSizeF kEkraan(800, 600);
const QString kLopuSona = QStringLiteral("Lõpusõna");

// Building and laying out a million elements takes seconds, so each document is made once. A run
// near the end holds a word found nowhere else.
Tekstiboks& dokument(std::int64_t nElemente) {
    static std::map<std::int64_t, std::unique_ptr<Tekstiboks>> arrVaated;
    std::unique_ptr<Tekstiboks>& vaade = arrVaated[nElemente];
    if (!vaade) {
        vaade = std::make_unique<Tekstiboks>();
        vaade->SeaNahtavaAlaSuurus(kEkraan);
        docgen::buildDocument(*vaade, docgen::Shape::Mixed, nElemente);
        const auto& arrLopp = vaade->m_arrLOIK[vaade->m_arrLOIK.size() - 2]->m_arrELEMENT;
        for (const auto& e : arrLopp) {
            if (e->m_TUUP == ELTUUP::MARK) {
                static_cast<ELMARK&>(*e).m_strTekst = kLopuSona;
                break;
            }
        }
        vaade->LooOtsitavSisu();
        vaade->ReastaElemendid();
        vaade->Varskenda(false, true, false);
    }
    return *vaade;
}

// The caret on the first element of the middle line, scrolled into view.
qint64 keskele(Tekstiboks& vaade) {
    const size_t nRida = vaade.m_arrRIDA.size() / 2;
    vaade.m_nKursor = vaade.m_arrReaAlgus[nRida];
    vaade.Varskenda(true, false, false);
    return vaade.m_nKursor;
}

void saada(Tekstiboks& vaade, QEvent& sundmus) {
    QCoreApplication::sendEvent(&vaade, &sundmus);
}

// Each iteration is one key press; the presses alternate between a key and its opposite so that
// the caret stays in the middle of the document.
void BM_Klahv(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    const auto klahv = Qt::Key(state.range(1));
    const Qt::Key vastu = klahv == Qt::Key_Right  ? Qt::Key_Left
                          : klahv == Qt::Key_Down ? Qt::Key_Up
                                                  : Qt::Key_PageUp;
    keskele(vaade);
    QKeyEvent edasi(QEvent::KeyPress, klahv, Qt::NoModifier);
    QKeyEvent tagasi(QEvent::KeyPress, vastu, Qt::NoModifier);
    bool bEdasi = true;
    for (auto _ : state) {
        saada(vaade, bEdasi ? edasi : tagasi);
        bEdasi = !bEdasi;
    }
    state.SetLabel(klahv == Qt::Key_Right ? "Right" : klahv == Qt::Key_Down ? "Down" : "PageDown");
}

// A click, then a drag step, alternating between two points of the visible middle of the document.
void BM_Hiir(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    const bool bLohista = state.range(1) != 0;
    keskele(vaade);
    const QRectF rVis = vaade.TooNahtavRist();
    const QPointF pt1 = vaade.TooVidinaPunkt(rVis.center() - QPointF(100, 80));
    const QPointF pt2 = vaade.TooVidinaPunkt(rVis.center() + QPointF(120, 90));
    const auto sundmus = [](QEvent::Type tuup, QPointF pt, Qt::MouseButtons nupud) {
        return std::make_unique<QMouseEvent>(
            tuup, pt, pt, tuup == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, nupud, Qt::NoModifier);
    };
    saada(vaade, *sundmus(QEvent::MouseButtonPress, pt1, Qt::LeftButton));
    const QEvent::Type tuup = bLohista ? QEvent::MouseMove : QEvent::MouseButtonPress;
    const std::unique_ptr<QMouseEvent> e1 = sundmus(tuup, pt1, Qt::LeftButton);
    const std::unique_ptr<QMouseEvent> e2 = sundmus(tuup, pt2, Qt::LeftButton);
    bool bEsimene = true;
    for (auto _ : state) {
        saada(vaade, bEsimene ? *e1 : *e2);
        bEsimene = !bEsimene;
    }
    saada(vaade, *sundmus(QEvent::MouseButtonRelease, pt2, Qt::NoButton));
    state.SetLabel(bLohista ? "drag step" : "click");
}

// A scroll step as the wheel or a scroll bar makes it, in the middle of the document in a shown
// scroll area: the bar's new value, the refresh it brings and the redraw of the visible part.
void BM_Keri(benchmark::State& state) {
    // Made once for each size and never destroyed: the widgets must not outlive the application.
    static auto* arrAlad = new std::map<std::int64_t, QAbstractScrollArea*>;
    QAbstractScrollArea*& ala = (*arrAlad)[state.range(0)];
    if (!ala) {
        ala = new QAbstractScrollArea;
        auto* vaade = new Tekstiboks(ala->viewport());
        ala->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        ala->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ala->resize(kEkraan.toSize() + QSize(ala->verticalScrollBar()->sizeHint().width(), 0));
        ala->show();
        docgen::buildDocument(*vaade, docgen::Shape::Mixed, state.range(0));
        vaade->ReastaElemendid();
        vaade->Varskenda(false, true, false);
    }
    auto* vaade = ala->viewport()->findChild<Tekstiboks*>();
    QScrollBar& riba = *ala->verticalScrollBar();
    const int nKesk = riba.maximum() / 2;
    QImage pilt(vaade->size(), QImage::Format_ARGB32_Premultiplied);
    bool bEdasi = true;
    for (auto _ : state) {
        // Three steps of the bar's arrows, as much as a notch of the wheel.
        riba.setValue(bEdasi ? nKesk + 3 * riba.singleStep() : nKesk);
        bEdasi = !bEdasi;
        vaade->render(&pilt);
        benchmark::DoNotOptimize(pilt.constBits());
    }
    if (vaade->m_nKursor != 0)
        state.SkipWithError("scrolling moved the caret");
}

// A search from the start of the document: one that finds nothing after wrapping around, one that
// finds the word near the end.
void BM_Otsi(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    const bool bLeiab = state.range(1) != 0;
    setMessageBoxHandler([](const QString&, const QString&) { return true; });
    const QString strOtsitav = bLeiab ? kLopuSona.toLower() : QStringLiteral("qqzzqq");
    for (auto _ : state) {
        vaade.m_nKursor = vaade.m_nShiftKursor = 0;
        vaade.Otsi(strOtsitav);
    }
    setMessageBoxHandler({});
    if (bLeiab && vaade.m_nKursor == 0)
        state.SkipWithError("the word near the end was not found");
    state.SetLabel(bLeiab ? "match near the end" : "miss, wrapping");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Select all and copy to the system clipboard, and a paste target reading the plain text.
void BM_ValiKoikJaKopeeri(benchmark::State& state) {
    Tekstiboks& vaade = dokument(state.range(0));
    QClipboard* laud = QGuiApplication::clipboard();
    for (auto _ : state) {
        vaade.ValiKoik();
        vaade.LoikalaudKopeeri();
        benchmark::DoNotOptimize(laud->text().size());
    }
    laud->clear();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void suurused(benchmark::internal::Benchmark* b, std::initializer_list<std::int64_t> arrTeine) {
    for (std::int64_t n : {10'000, 1'000'000})
        for (std::int64_t t : arrTeine)
            b->Args({n, t});
}

} // namespace

BENCHMARK(BM_Klahv)->Apply([](auto* b) {
                       suurused(b, {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown});
                   }) -> ArgNames({"elements", "key"}) -> Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hiir)->Apply([](auto* b) {
                      suurused(b, {0, 1});
                  }) -> ArgNames({"elements", "drag"}) -> Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Keri)->Arg(10'000)->Arg(1'000'000)->ArgName("elements")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Otsi)->Apply([](auto* b) {
                      suurused(b, {0, 1});
                  }) -> ArgNames({"elements", "found"}) -> Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValiKoikJaKopeeri)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->ArgName("elements")
    ->Unit(benchmark::kMillisecond);
