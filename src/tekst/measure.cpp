#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

namespace {

// An index outside the table (a malformed document, an element made by hand) measures in the
// default style rather than reading past the table.
const KIRI& kiriIndeksil(const std::vector<KIRI>& arrJooksevKiri, qint64 nKiri) {
    static const KIRI vaikimisi;
    if (nKiri < 0 || nKiri >= static_cast<qint64>(arrJooksevKiri.size()))
        return vaikimisi;
    return arrJooksevKiri[static_cast<size_t>(nKiri)];
}

struct TekstiMoot {
    QSizeF cSuurus;
    double fTous = 0.0;
    double fIndeksKorgus = 0.0;
};

// Height and rise come from the normal font, the width from the index font, so that super- and
// subscript runs sit in the same line geometry as normal text while taking only their own width.
TekstiMoot moodaTekst(const QString& strTekst, const KIRI& kiri, double fSuum) {
    const Font normaal = kiri.TooFont(fSuum, false);
    const QSizeF cNormaal = textSize(strTekst, normaal);
    const double fKorgus = cNormaal.height();
    const double fTous = fKorgus + fontDescender(normaal);

    // Without either index flag the index font is the normal font; measuring it again would only
    // repeat the same numbers.
    QSizeF cIndeks = cNormaal;
    if (kiri.m_bUlaindeks || kiri.m_bAlaindeks)
        cIndeks = textSize(strTekst, kiri.TooFont(fSuum, true));

    return {QSizeF(cIndeks.width(), fKorgus), fTous, cIndeks.height()};
}

} // namespace

void ELMARK::ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum) {
    const TekstiMoot moot = moodaTekst(m_strTekst, kiriIndeksil(arrJooksevKiri, m_nKiri), fSuum);
    m_cSuurus = moot.cSuurus;
    m_fTous = moot.fTous;
    m_fIndeksKorgus = moot.fIndeksKorgus;
}

void ELTUHIK::ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum) {
    const TekstiMoot moot = moodaTekst(QStringLiteral(" "), kiriIndeksil(arrJooksevKiri, m_nKiri), fSuum);
    m_cSuurus = moot.cSuurus;
    m_fTous = moot.fTous;
    m_fOrginaalLaius = moot.cSuurus.width();
}

void ELTAB::ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum) {
    const TekstiMoot moot = moodaTekst(QStringLiteral("\t"), kiriIndeksil(arrJooksevKiri, m_nKiri), fSuum);
    m_cSuurus = moot.cSuurus;
    m_fTous = moot.fTous;
}

void ELENTER::ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum) {
    const TekstiMoot moot =
        moodaTekst(QStringLiteral("\u00B6"), kiriIndeksil(arrJooksevKiri, m_nKiri), fSuum);
    m_cSuurus = moot.cSuurus;
    m_fTous = moot.fTous;
}

void ELPILT::ArvutaSuurus(double fSuum) {
    const QSizeF cOrginaal = m_cOrginaalSuurus.value_or(QSizeF(0.0, 0.0));
    m_cSuurus = QSizeF(cOrginaal.width() * fSuum / 100.0, cOrginaal.height() * fSuum / 100.0);
    // A picture has no baseline; a rise of 0 never lifts the line's baseline.
    m_fTous = 0.0;
}
