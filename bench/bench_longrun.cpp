// Single runs of many characters: measuring one must grow linearly with its length (per character
// the figures stay flat), and one screen drawn inside it must cost what an ordinary screen costs,
// whatever its length.

#include "docgen.h"

#include "platform/canvas.h"
#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "tekst/ELMARK.h"
#include "tekst/SharedMeasurer.h"
#include "tekst/Tekstiboks.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>

namespace {

enum Tekst { Sonad, Iksid, Margid };

const char* tekstiNimi(Tekst tekst) {
    return tekst == Sonad ? "words" : tekst == Iksid ? "x" : "letter+marks";
}

// Words in no repeating order, with punctuation and kerning pairs; one x repeated; or one letter
// followed by combining marks: n code units.
QString tekst(Tekst tekst, qsizetype n) {
    if (tekst == Iksid)
        return QString(n, u'x');
    if (tekst == Margid)
        return u'a' + QString(n - 1, QChar(0x0301));
    static const char* const tavad[] = {"ta",      "le",      "mi", "ko", "su", "va", "ne", "ri", "pa", "lu",
                                        "k\u00e4", "s\u00f5", "AV", "Ty", "Wo", "f",  "fi", "l",  "x",  "1"};
    std::uint64_t nSeis = 42;
    const auto juhuslik = [&nSeis](int n) {
        nSeis = nSeis * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((nSeis >> 33) % std::uint64_t(n));
    };
    QString s;
    s.reserve(n + 16);
    while (s.size() < n) {
        for (int k = 1 + juhuslik(4); k > 0; --k)
            s += QString::fromUtf8(tavad[juhuslik(20)]);
        s += juhuslik(9) == 0 ? QStringLiteral(", ") : QStringLiteral(" ");
    }
    s.truncate(n);
    return s;
}

// Measuring one run afresh with sharing, as reading does: pieces, seams and, for the marks, finding
// the runs it equals.
void BM_MeasureLongRun(benchmark::State& state) {
    const auto liik = Tekst(state.range(0));
    const std::vector<KIRI> tabel = {KIRI("Arial", 15, false, false, false, false, false, false, {})};
    const QString strTekst = tekst(liik, state.range(1));
    for (auto _ : state) {
        SharedMeasurer mootja(tabel, 100);
        ELMARK mark;
        mark.m_nKiri = 0;
        mark.m_strTekst = strTekst;
        mootja.Mooda(mark);
        benchmark::DoNotOptimize(mark.m_cSuurus);
    }
    state.SetLabel(tekstiNimi(liik));
    state.SetItemsProcessed(state.iterations() * state.range(1));
}

const QSizeF kEkraan(800, 600);

// A document of one paragraph holding one run, read once per length.
Tekstiboks& pikkJooks(Tekst liik, qsizetype n) {
    static std::map<std::pair<int, qsizetype>, std::unique_ptr<Tekstiboks>> arrVaated;
    std::unique_ptr<Tekstiboks>& vaade = arrVaated[{int(liik), n}];
    if (!vaade) {
        setMessageBoxHandler([](const QString&, const QString&) { return true; });
        vaade = std::make_unique<Tekstiboks>();
        vaade->SeaNahtavaAlaSuurus(kEkraan);
        vaade->AvaFail("VLM1<1{F Arial;15;0;0;0;0;0;0;#000000}{M " + tekst(liik, n) + "}{N}>");
    }
    return *vaade;
}

// One 800 x 600 screen centred on the middle of the run, drawn again and again (as a redraw does).
void BM_DrawInLongRun(benchmark::State& state) {
    const auto liik = Tekst(state.range(0));
    Tekstiboks& vaade = pikkJooks(liik, state.range(1));
    vaade.SeaKerimiskoht(QPointF(std::max(0.0, vaade.TooUlatus().width() / 2.0 - kEkraan.width() / 2), 0));
    const QRectF rVis = vaade.TooNahtavRist();
    QImage pilt(kEkraan.toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&pilt);
        painter.translate(-rVis.topLeft());
        Canvas canvas(painter);
        vaade.Joonista(canvas);
        painter.end();
        benchmark::DoNotOptimize(pilt.constBits());
    }
    state.SetLabel(tekstiNimi(liik));
}

// For comparison: one ordinary screen in the middle of a document of mixed styles.
void BM_DrawOrdinaryScreen(benchmark::State& state) {
    static const std::unique_ptr<Tekstiboks> vaade = [] {
        auto t = std::make_unique<Tekstiboks>();
        t->SeaNahtavaAlaSuurus(kEkraan);
        docgen::buildDocument(*t, docgen::Shape::Mixed, 100'000);
        t->ReastaElemendid();
        t->Varskenda(false, true, false);
        return t;
    }();
    vaade->SeaKerimiskoht(
        QPointF(0, std::max(0.0, vaade->TooUlatus().height() / 2.0 - kEkraan.height() / 2)));
    const QRectF rVis = vaade->TooNahtavRist();
    QImage pilt(kEkraan.toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&pilt);
        painter.translate(-rVis.topLeft());
        Canvas canvas(painter);
        vaade->Joonista(canvas);
        painter.end();
        benchmark::DoNotOptimize(pilt.constBits());
    }
}

} // namespace

BENCHMARK(BM_MeasureLongRun)
    ->ArgNames({"text", "length"})
    ->ArgsProduct({{Sonad, Iksid, Margid}, {100'000, 1'000'000, 4'000'000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawInLongRun)
    ->ArgNames({"text", "length"})
    ->ArgsProduct({{Sonad, Iksid, Margid}, {10'000, 1'000'000, 4'000'000}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawOrdinaryScreen)->Unit(benchmark::kMicrosecond);
