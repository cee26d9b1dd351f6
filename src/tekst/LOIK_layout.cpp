#include "tekst/ELTUHIK.h"
#include "tekst/LOIK.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double fTabiSamm = 24.0;

double laius(const ELEMENT& e) {
    return e.m_cSuurus ? e.m_cSuurus->width() : 0.0;
}

void seaLaius(ELEMENT& e, double fLaius) {
    if (e.m_cSuurus)
        e.m_cSuurus->setWidth(fLaius);
    else
        e.m_cSuurus = QSizeF(fLaius, 0.0);
}

bool onVahe(const ELEMENT& e) {
    return e.m_TUUP == ELTUUP::TUHIK || e.m_TUUP == ELTUUP::TAB;
}

// The first multiple of the tab step beyond fLaius (0 for a negative width). Computed directly
// instead of stepping from 0, so that a huge line width cannot make it loop for ever; the two short
// loops only correct the rounding of the division.
double jargmineTabiKoht(double fLaius) {
    if (!(fLaius >= 0.0))
        return 0.0;
    double fKoht = std::floor(fLaius / fTabiSamm) * fTabiSamm;
    for (int n = 0; n < 4 && fKoht <= fLaius; ++n)
        fKoht += fTabiSamm;
    for (int n = 0; n < 4 && fKoht - fTabiSamm > fLaius; ++n)
        fKoht -= fTabiSamm;
    return fKoht;
}

} // namespace

std::vector<RIDA> LOIK::JoondaLoik(std::vector<RIDA> arrRIDA, double fSisuLaius) {
    // Take out the old lines in one pass. nPos ends where the repeated search from the start would
    // leave it: the index the last of them had once those before it were gone.
    qint64 nPos = 0;
    qint64 nEemaldatud = 0;
    auto kirjuta = arrRIDA.begin();
    for (auto it = arrRIDA.begin(); it != arrRIDA.end(); ++it) {
        if (it->m_LOIK.get() == this) {
            nPos = (it - arrRIDA.begin()) - nEemaldatud;
            ++nEemaldatud;
        } else {
            if (kirjuta != it)
                *kirjuta = std::move(*it);
            ++kirjuta;
        }
    }
    arrRIDA.erase(kirjuta, arrRIDA.end());

    std::vector<RIDA> arrUued = TooRead(fSisuLaius);
    arrRIDA.insert(arrRIDA.begin() + nPos, std::make_move_iterator(arrUued.begin()),
                   std::make_move_iterator(arrUued.end()));
    return arrRIDA;
}

std::vector<RIDA> LOIK::TooRead(double fSisuLaius) {
    std::vector<RIDA> arrUued;
    const qint64 nArv = static_cast<qint64>(m_arrELEMENT.size());

    // A paragraph without elements keeps one empty line, so that it holds its place in the line
    // list and the next layout finds it again.
    if (nArv == 0) {
        RIDA rida;
        rida.m_LOIK = weak_from_this().lock();
        rida.m_fKoguKorgus = 0.0;
        rida.m_fTekstiKorgus = 0.0;
        rida.m_fTous = 0.0;
        rida.m_fMaksLaius = 0.0;
        arrUued.push_back(std::move(rida));
        return arrUued;
    }

    // Justification of the previous layout is undone before any width is added up.
    for (const auto& e : m_arrELEMENT) {
        if (e->m_TUUP == ELTUUP::TUHIK) {
            const auto& tuhik = static_cast<const ELTUHIK&>(*e);
            if (tuhik.m_fOrginaalLaius)
                seaLaius(*e, *tuhik.m_fOrginaalLaius);
        }
    }

    qint64 nAlgus = 0;
    double fLaius = 0.0;
    for (qint64 i = 0; i < nArv; ++i) {
        ELEMENT& e = *m_arrELEMENT[static_cast<size_t>(i)];

        if (e.m_TUUP == ELTUUP::TAB)
            seaLaius(e, jargmineTabiKoht(fLaius) - fLaius);

        // Strict comparison: a line exactly as wide as the content still fits. The paragraph end
        // never starts a line of its own, and the first element of a line stays even if too wide.
        if (e.m_TUUP != ELTUUP::ENTER && nAlgus < i && fLaius + laius(e) > fSisuLaius) {
            arrUued.push_back(JoondaRida(nAlgus, i - 1, fSisuLaius, false));
            nAlgus = i;
            fLaius = 0.0;
        }

        fLaius += laius(e);

        if (onVahe(e)) {
            // The next word up to and including the space or tab that ends it. A tab not reached
            // yet counts with whatever width it holds now.
            double fSona = 0.0;
            for (qint64 j = i + 1; j < nArv; ++j) {
                const ELEMENT& jargmine = *m_arrELEMENT[static_cast<size_t>(j)];
                fSona += laius(jargmine);
                if (onVahe(jargmine))
                    break;
            }
            // A space or tab that is the paragraph's last element closes the final line itself
            // rather than leaving an empty line behind it. With nothing after it this break only
            // happens on an overfull line, where the last-line flag changes nothing.
            if (fLaius + fSona > fSisuLaius && i + 1 < nArv) {
                arrUued.push_back(JoondaRida(nAlgus, i, fSisuLaius, false));
                nAlgus = i + 1;
                fLaius = 0.0;
            }
        }
    }
    arrUued.push_back(JoondaRida(nAlgus, nArv - 1, fSisuLaius, true));
    return arrUued;
}

RIDA LOIK::JoondaRida(qint64 e1, qint64 e2, double fSisulaius, bool bViimaneRida) {
    RIDA rida;
    rida.m_LOIK = weak_from_this().lock();

    const qint64 nArv = static_cast<qint64>(m_arrELEMENT.size());
    Q_ASSERT(0 <= e1 && e1 <= e2 && e2 < nArv);
    // Out of range indices give an empty line rather than reading past the paragraph.
    e1 = std::max<qint64>(e1, 0);
    e2 = std::min<qint64>(e2, nArv - 1);

    double fKoguKorgus = 0.0;
    double fTekstiKorgus = 0.0;
    double fTous = 0.0;
    double fLaius = 0.0;
    qint64 nVenivaid = 0;
    for (qint64 i = e1; i <= e2; ++i) {
        const ELEMENT& e = *m_arrELEMENT[static_cast<size_t>(i)];
        const double fKorgus = e.m_cSuurus ? e.m_cSuurus->height() : 0.0;
        fKoguKorgus = std::max(fKoguKorgus, fKorgus);
        if (e.m_TUUP != ELTUUP::PILT)
            fTekstiKorgus = std::max(fTekstiKorgus, fKorgus);
        fTous = std::max(fTous, e.m_fTous.value_or(0.0));
        fLaius += laius(e);
        if (onVahe(e))
            ++nVenivaid;
    }

    double fNihe = 0.0;
    if (!bViimaneRida && m_Joondus == JOONDUS::ROOP) {
        if (nVenivaid > 0 && fLaius < fSisulaius) {
            const double fLisa = fSisulaius - fLaius;
            const double fIgaleLisa = fLisa / static_cast<double>(nVenivaid);
            double fAntud = 0.0;
            qint64 nLeitud = 0;
            for (qint64 i = e1; i <= e2; ++i) {
                ELEMENT& e = *m_arrELEMENT[static_cast<size_t>(i)];
                if (!onVahe(e))
                    continue;
                // The last stretchable element takes the remainder, so that the rounding of the
                // shares cannot leave the line short of the content width or past it.
                const double fOsa = ++nLeitud < nVenivaid ? fIgaleLisa : fLisa - fAntud;
                fAntud += fOsa;
                seaLaius(e, laius(e) + fOsa);
            }
        }
    } else if (fLaius < fSisulaius) {
        if (m_Joondus == JOONDUS::KESKEL)
            fNihe = (fSisulaius - fLaius) / 2.0;
        else if (m_Joondus == JOONDUS::PAREMAL)
            fNihe = fSisulaius - fLaius;
    }

    rida.m_fKoguKorgus = fKoguKorgus;
    rida.m_fTekstiKorgus = fTekstiKorgus;
    rida.m_fTous = fTous;
    rida.m_fMaksLaius = fLaius;

    double x = fNihe;
    if (e1 <= e2)
        rida.m_arrELEMENT.reserve(static_cast<size_t>(e2 - e1 + 1));
    for (qint64 i = e1; i <= e2; ++i) {
        ELEMENT& e = *m_arrELEMENT[static_cast<size_t>(i)];
        e.m_ptPos = QPointF(x, 0.0);
        rida.m_arrELEMENT.push_back(&e);
        x += laius(e);
    }
    return rida;
}
