#include "fuzzsupport.h"

#include "platform/image.h"
#include "platform/messagebox.h"
#include "tekst/Tekstiboks.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

void startFuzzing(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps the arguments it is given; the fuzzer's own stay where they are.
    static int nArgumente = 1;
    static char* arrArgumendid[] = {(*argv)[0], nullptr};
    static QApplication app(nArgumente, arrArgumendid);
    (void)argc;
    setMessageBoxHandler([](const QString&, const QString&) { return true; });
    // The decoders' messages go nowhere while they decode, and a sanitizer's report from inside a
    // decoder with them; to see what a finding says, run it again with VELMORA_DECODER_MESSAGES=1.
    if (qEnvironmentVariableIntValue("VELMORA_DECODER_MESSAGES") == 1)
        setImageDecoderMessagesShown(true);
}

void fuzzCheckFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

void checkDocument(const Tekstiboks& tb) {
    FUZZ_CHECK(!tb.m_arrLOIK.empty() && !tb.m_arrJooksevKiri.empty());
    qint64 nElemente = 0;
    for (const auto& loik : tb.m_arrLOIK) {
        FUZZ_CHECK(loik && !loik->m_arrELEMENT.empty());
        FUZZ_CHECK(loik->m_arrELEMENT.back()->m_TUUP == ELTUUP::ENTER);
        for (const auto& e : loik->m_arrELEMENT) {
            FUZZ_CHECK(e->m_nKiri >= 0 && e->m_nKiri < qint64(tb.m_arrJooksevKiri.size()));
            FUZZ_CHECK(e->m_cSuurus.has_value() && e->m_fTous.has_value());
        }
        nElemente += qint64(loik->m_arrELEMENT.size());
    }
    FUZZ_CHECK(tb.TooMaksKursor() == nElemente);

    FUZZ_CHECK(tb.m_arrReaAlgus.size() == tb.m_arrRIDA.size() && tb.m_arrReaY.size() == tb.m_arrRIDA.size());
    qint64 nReal = 0;
    size_t nLoik = 0;
    size_t nLoigus = 0;
    for (size_t k = 0; k < tb.m_arrRIDA.size(); ++k) {
        const RIDA& rida = tb.m_arrRIDA[k];
        FUZZ_CHECK(tb.m_arrReaAlgus[k] == nReal);
        // The lines walk the paragraphs' elements in order, each element once.
        for (const ELEMENT* e : rida.m_arrELEMENT) {
            while (nLoik < tb.m_arrLOIK.size() && nLoigus == tb.m_arrLOIK[nLoik]->m_arrELEMENT.size()) {
                ++nLoik;
                nLoigus = 0;
            }
            FUZZ_CHECK(nLoik < tb.m_arrLOIK.size());
            FUZZ_CHECK(rida.m_LOIK == tb.m_arrLOIK[nLoik]);
            FUZZ_CHECK(e == tb.m_arrLOIK[nLoik]->m_arrELEMENT[nLoigus].get());
            FUZZ_CHECK(e->m_ptPos.has_value());
            ++nLoigus;
        }
        nReal += qint64(rida.m_arrELEMENT.size());
    }
    FUZZ_CHECK(nReal == nElemente);

    FUZZ_CHECK(tb.m_nKursor >= 0 && tb.m_nKursor < nElemente);
    FUZZ_CHECK(tb.m_nShiftKursor >= 0 && tb.m_nShiftKursor < nElemente);
    FUZZ_CHECK(qint64(tb.m_arrSisuAlgus.size()) == nElemente);
    for (qsizetype i = 0; i < tb.m_strSisu.size(); ++i)
        FUZZ_CHECK(tb.m_arrSisuAlgus[size_t(tb.TooSisuElement(i))] <= i);
}
