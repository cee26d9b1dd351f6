#include "tekst/Tekstiboks.h"

#include <QAbstractScrollArea>
#include <algorithm>
#include <cmath>
#include <limits>

void Tekstiboks::ReastaElemendid() {
    // Each paragraph's lines are built on their own and appended in paragraph order. That is the
    // list the per-paragraph replacement in place would leave, but without searching and inserting
    // into the growing list once per paragraph.
    const double fSisuLaius = TooAknaLaius();
    std::vector<RIDA> arrUued;
    arrUued.reserve(std::max(m_arrRIDA.size(), m_arrLOIK.size()));
    for (const auto& loik : m_arrLOIK) {
        if (!loik)
            continue;
        std::vector<RIDA> arrRead = loik->TooRead(fSisuLaius);
        std::move(arrRead.begin(), arrRead.end(), std::back_inserter(arrUued));
    }
    m_arrRIDA = std::move(arrUued);
    ArvutaGeomeetria();
}

void Tekstiboks::ArvutaGeomeetria() {
    const double fVahe = TooReaVahe();
    m_arrReaAlgus.resize(m_arrRIDA.size());
    m_arrReaY.resize(m_arrRIDA.size());
    m_fMaksReaLaius = 0.0;
    m_fKoguKorgus = 0.0;
    m_bReadJarjestuses = true;
    double fEelmineAll = -std::numeric_limits<double>::infinity();
    qint64 nAlgus = 0;
    double fY = 0.0;
    for (size_t k = 0; k < m_arrRIDA.size(); ++k) {
        const RIDA& rida = m_arrRIDA[k];
        const double fReaKorgus = rida.m_fKoguKorgus.value_or(0.0);
        m_arrReaAlgus[k] = nAlgus;
        m_arrReaY[k] = fY;
        // Computed as the hit test computes a line's edges, so that the order holds for the very
        // numbers it compares.
        const double fYlal = m_cServad.height() + fY;
        const double fAll = m_cServad.height() + fY + fReaKorgus;
        if (!(fReaKorgus >= 0.0 && fYlal > fEelmineAll && std::isfinite(fAll)))
            m_bReadJarjestuses = false;
        fEelmineAll = fAll;
        nAlgus += static_cast<qint64>(rida.m_arrELEMENT.size());
        fY += fReaKorgus + fVahe;
        m_fMaksReaLaius = std::max(m_fMaksReaLaius, rida.m_fMaksLaius.value_or(0.0));
        // The lowest line bottom reached, gap included: with the negative gap of a negative zoom
        // the running offset can shrink again.
        m_fKoguKorgus = std::max(m_fKoguKorgus, fY);
    }
    m_nMaksKursor = 0;
    for (const auto& loik : m_arrLOIK) {
        if (loik)
            m_nMaksKursor += static_cast<qint64>(loik->m_arrELEMENT.size());
    }
}

qint64 Tekstiboks::TooMaksKursor() const {
    return m_nMaksKursor;
}

QSizeF Tekstiboks::TooEmaSuurus() const {
    if (m_cNahtavaAlaSuurus)
        return *m_cNahtavaAlaSuurus;
    // Inside a scroll area the view's parent is the area's viewport, whose size is the visible area.
    if (const QAbstractScrollArea* ala = TooKerimisala())
        return QSizeF(ala->viewport()->size());
    return QSizeF(0.0, 0.0);
}

double Tekstiboks::TooAknaLaius() const {
    return TooEmaSuurus().width() - 2.0 * m_cServad.width();
}

double Tekstiboks::TooAknaKorgus() const {
    return TooEmaSuurus().height() - 2.0 * m_cServad.height();
}

std::optional<qint64> Tekstiboks::LeiaRida(qint64 nIndeks) const {
    const size_t nRead = std::min(m_arrReaAlgus.size(), m_arrRIDA.size());
    if (nIndeks < 0 || nRead == 0)
        return std::nullopt;
    // The last line starting at or before nIndeks. Lines without elements share their start with the
    // next line, so taking the last of equal starts skips them.
    const auto alates = m_arrReaAlgus.begin();
    const auto it = std::upper_bound(alates, alates + static_cast<std::ptrdiff_t>(nRead), nIndeks);
    if (it == alates)
        return std::nullopt;
    const auto k = static_cast<size_t>(it - alates) - 1;
    if (nIndeks >= m_arrReaAlgus[k] + static_cast<qint64>(m_arrRIDA[k].m_arrELEMENT.size()))
        return std::nullopt;
    return static_cast<qint64>(k);
}

qint64 Tekstiboks::EsimeneRidaAlatesY(double fY) const {
    const size_t nRead = std::min(m_arrReaY.size(), m_arrRIDA.size());
    auto alumineServ = [&](size_t k) {
        return m_cServad.height() + m_arrReaY[k] + m_arrRIDA[k].m_fKoguKorgus.value_or(0.0);
    };
    // Bisection by hand rather than a standard search: with the sizes of a zoom of 0 or less the
    // bottoms need not be ordered, and this still ends with an index in range.
    size_t nAlumine = 0;
    size_t nUlemine = nRead;
    while (nAlumine < nUlemine) {
        const size_t k = nAlumine + (nUlemine - nAlumine) / 2;
        if (alumineServ(k) < fY)
            nAlumine = k + 1;
        else
            nUlemine = k;
    }
    return static_cast<qint64>(nAlumine);
}
