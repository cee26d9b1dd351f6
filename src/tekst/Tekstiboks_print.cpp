// Printing and PDF: the document laid out anew at the paper's width and zoom 100, broken into pages
// between lines, and drawn page by page through the view's own drawing.

#include "tekst/Tekstiboks.h"

#include "platform/canvas.h"
#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/SharedMeasurer.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <climits>
#include <cmath>
#include <new>

namespace {

// A copy of an element for the paper: the same kind, style, highlight and content, unmeasured. A
// picture shares the shown one's bitmap (an image is copied only when written to), so that a
// document whose pictures repeat takes no more memory for them on paper.
std::unique_ptr<ELEMENT> paberiKoopia(const ELEMENT& e) {
    if (!e.m_TUUP)
        return nullptr;
    std::unique_ptr<ELEMENT> koopia;
    switch (*e.m_TUUP) {
    case ELTUUP::ENTER:
        koopia = std::make_unique<ELENTER>();
        break;
    case ELTUUP::TAB:
        koopia = std::make_unique<ELTAB>();
        break;
    case ELTUUP::TUHIK:
        koopia = std::make_unique<ELTUHIK>();
        break;
    case ELTUUP::MARK: {
        auto mark = std::make_unique<ELMARK>();
        mark->m_strTekst = static_cast<const ELMARK&>(e).m_strTekst;
        koopia = std::move(mark);
        break;
    }
    case ELTUUP::PILT: {
        const auto& pilt = static_cast<const ELPILT&>(e);
        auto uus = std::make_unique<ELPILT>();
        uus->m_Kujutis = pilt.m_Kujutis;
        uus->m_cOrginaalSuurus = pilt.m_cOrginaalSuurus;
        koopia = std::move(uus);
        break;
    }
    }
    koopia->m_nKiri = e.m_nKiri;
    koopia->m_clEsiletost = e.m_clEsiletost;
    return koopia;
}

// How far right a line draws. A paragraph end may stand past the content width (it never starts a
// line of its own) but shows nothing there worth shrinking the line for.
double joonistatudLaius(const RIDA& rida) {
    const double fLaius = rida.m_fMaksLaius.value_or(0.0);
    double fParem = 0.0;
    for (const ELEMENT* e : rida.m_arrELEMENT) {
        if (e && e->m_TUUP != ELTUUP::ENTER && e->m_ptPos && e->m_cSuurus)
            fParem = std::max(fParem, e->m_ptPos->x() + e->laius());
    }
    return std::min(fLaius, fParem);
}

QString kirjutamiseViga(const QString& strFail, const QString& strPohjus) {
    return QStringLiteral("Faili \u201e%1\u201c ei saanud kirjutada: %2")
        .arg(QFileInfo(strFail).fileName(), strPohjus);
}

} // namespace

std::vector<Tekstiboks::LEHT> Tekstiboks::TooLehed(QSizeF cLeht) const {
    std::vector<LEHT> arrLehed;
    const double W = cLeht.width();
    const double H = cLeht.height();
    if (!(W > 0.0 && H > 0.0 && std::isfinite(W) && std::isfinite(H)))
        return arrLehed;
    const size_t nRead = std::min(m_arrRIDA.size(), m_arrReaY.size());
    const auto korgus = [&](size_t k) { return m_arrRIDA[k].m_fKoguKorgus.value_or(0.0); };
    // The factor that fits line k on a page; 1 when it fits as it is. Only lines that would not fit
    // look at their elements.
    const auto skaala = [&](size_t k) {
        double f = 1.0;
        if (korgus(k) > H)
            f = H / korgus(k);
        if (m_arrRIDA[k].m_fMaksLaius.value_or(0.0) > W) {
            const double w = joonistatudLaius(m_arrRIDA[k]);
            if (w > W)
                f = std::min(f, W / w);
        }
        return f;
    };
    size_t k = 0;
    while (k < nRead) {
        if (const double f = skaala(k); f < 1.0) {
            arrLehed.push_back({qint64(k), qint64(k) + 1, f});
            ++k;
            continue;
        }
        // A page ends before the first line that would reach below it; the gap after the page's
        // last line is not part of it.
        const double fYlal = m_arrReaY[k];
        size_t j = k + 1;
        while (j < nRead && skaala(j) >= 1.0 && m_arrReaY[j] + korgus(j) - fYlal <= H)
            ++j;
        arrLehed.push_back({qint64(k), qint64(j), 1.0});
        k = j;
    }
    return arrLehed;
}

std::unique_ptr<Tekstiboks> Tekstiboks::LooPaberiVaade(QSizeF cAla) const {
    auto paber = std::make_unique<Tekstiboks>();
    paber->m_cServad = QSizeF(0.0, 0.0);
    paber->m_fReaVahe = m_fReaVahe;
    paber->m_fSuum = 100.0;
    paber->m_arrJooksevKiri = m_arrJooksevKiri;
    paber->SeaNahtavaAlaSuurus(cAla);

    std::vector<std::shared_ptr<LOIK>> arrLOIK;
    arrLOIK.reserve(m_arrLOIK.size());
    SharedMeasurer mootja(paber->m_arrJooksevKiri, paber->m_fSuum);
    for (const auto& loik : m_arrLOIK) {
        if (!loik)
            continue;
        auto koopia = std::make_shared<LOIK>();
        koopia->m_Joondus = loik->m_Joondus;
        koopia->m_arrELEMENT.reserve(loik->m_arrELEMENT.size());
        for (const auto& e : loik->m_arrELEMENT) {
            if (!e)
                continue;
            if (std::unique_ptr<ELEMENT> uus = paberiKoopia(*e)) {
                mootja.Mooda(*uus);
                koopia->m_arrELEMENT.push_back(std::move(uus));
            }
        }
        arrLOIK.push_back(std::move(koopia));
    }
    // The view starts with the empty document; a document always has a paragraph, so this only
    // keeps the empty one should it have none.
    if (!arrLOIK.empty()) {
        paber->m_arrRIDA.clear();
        paber->m_arrLOIK = std::move(arrLOIK);
    }
    paber->ReastaElemendid();
    return paber;
}

QString Tekstiboks::Prindi(QPagedPaintDevice& seade) const {
    const QRectF rAla = seade.pageLayout().paintRect(QPageLayout::Point);
    if (!(rAla.width() > 0.0 && rAla.height() > 0.0))
        return QStringLiteral("Paberil ei jää veeriste vahele ruumi.");
    try {
        const std::unique_ptr<Tekstiboks> paber = LooPaberiVaade(rAla.size());
        const std::vector<LEHT> arrLehed = paber->TooLehed(rAla.size());
        const QPageRanges vahemikud = seade.pageRanges();

        QPainter painter;
        if (!painter.begin(&seade))
            return QStringLiteral("Printimist ei saanud alustada.");
        // The painter counts in the device's dots; one point of the document is one point on paper.
        const double fX = seade.logicalDpiX() / 72.0;
        const double fY = seade.logicalDpiY() / 72.0;
        const auto korgus = [&](qint64 k) { return paber->m_arrRIDA[size_t(k)].m_fKoguKorgus.value_or(0.0); };
        bool bEsimene = true;
        for (size_t i = 0; i < arrLehed.size(); ++i) {
            if (!vahemikud.isEmpty() && !vahemikud.contains(int(std::min<size_t>(i + 1, INT_MAX))))
                continue;
            if (!bEsimene && !seade.newPage()) {
                painter.end();
                return QStringLiteral("Uut lehte ei saanud alustada.");
            }
            bEsimene = false;
            const LEHT& leht = arrLehed[i];
            const double fYlal = paber->m_arrReaY[size_t(leht.m_nEsimene)];
            const double fAll = paber->m_arrReaY[size_t(leht.m_nLopp - 1)] + korgus(leht.m_nLopp - 1);
            painter.save();
            painter.scale(fX * leht.m_fSkaala, fY * leht.m_fSkaala);
            painter.translate(0.0, -fYlal);
            Canvas canvas(painter);
            paber->JoonistaAla(canvas, QRectF(0.0, fYlal, rAla.width() / leht.m_fSkaala, fAll - fYlal),
                               Joonistus::Paber);
            painter.restore();
        }
        if (!painter.end())
            return QStringLiteral("Printimist ei saanud lõpetada.");
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Dokumendi printimiseks ei jätkunud mälu.");
    }
    return {};
}

QString Tekstiboks::EkspordiPdf(const QString& strFail) const {
    QSaveFile fail(strFail);
    // A file that cannot be made beside the target (a device, a folder without write permission
    // for new files) is written directly.
    fail.setDirectWriteFallback(true);
    if (!fail.open(QIODevice::WriteOnly))
        return kirjutamiseViga(strFail, fail.errorString());
    QString strViga;
    {
        QPdfWriter kirjutaja(&fail);
        kirjutaja.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                            QMarginsF(20.0, 20.0, 20.0, 20.0), QPageLayout::Millimeter));
        kirjutaja.setCreator(QStringLiteral("Velmora"));
        if (!m_strFailinimi.isEmpty())
            kirjutaja.setTitle(QFileInfo(m_strFailinimi).fileName());
        strViga = Prindi(kirjutaja);
    }
    if (!strViga.isEmpty()) {
        fail.cancelWriting();
        return strViga;
    }
    if (!fail.commit())
        return kirjutamiseViga(strFail, fail.errorString());
    return {};
}
