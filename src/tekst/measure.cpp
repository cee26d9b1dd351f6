#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

#include <unordered_map>

namespace {

// The pieces of every measured run longer than kTextPieceLength, by run. Elements never move (they
// cannot be copied), and a run takes its entry with it when it goes.
std::unordered_map<const ELMARK*, std::shared_ptr<const TextPieces>>& pikadJooksud() {
    static auto* const arrJooksud = new std::unordered_map<const ELMARK*, std::shared_ptr<const TextPieces>>;
    return *arrJooksud;
}

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
    std::shared_ptr<const TextPieces> cTukid;
};

// Height and rise come from the normal font, the width from the index font, so that super- and
// subscript runs sit in the same line geometry as normal text while taking only their own width.
// A line's height is the same for every text in a font, so the text is shaped only once, in the
// font its width comes from; cVarasem is an earlier measurement of the same text to reuse.
TekstiMoot moodaTekst(const QString& strTekst, const KIRI& kiri, double fSuum,
                      const std::shared_ptr<const TextPieces>& cVarasem = {}) {
    const Font normaal = kiri.TooFont(fSuum, false);
    const double fKorgus = textSize(QString(), normaal).height();
    const double fTous = fKorgus + fontDescender(normaal);

    // Without either index flag the index font is the normal font.
    const bool bIndeks = kiri.m_bUlaindeks || kiri.m_bAlaindeks;
    const TextMeasure indeks = measureText(strTekst, bIndeks ? kiri.TooFont(fSuum, true) : normaal, cVarasem);
    return {QSizeF(indeks.size.width(), fKorgus), fTous, indeks.size.height(), indeks.pieces};
}

} // namespace

void ELMARK::ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum) {
    const TekstiMoot moot = moodaTekst(m_strTekst, kiriIndeksil(arrJooksevKiri, m_nKiri), fSuum, TooTukid());
    m_cSuurus = moot.cSuurus;
    m_fTous = moot.fTous;
    m_fIndeksKorgus = moot.fIndeksKorgus;
    SeaTukid(moot.cTukid);
}

ELMARK::~ELMARK() {
    // Only a document with long runs has entries at all.
    if (!pikadJooksud().empty())
        pikadJooksud().erase(this);
}

std::shared_ptr<const TextPieces> ELMARK::TooTukid() const {
    const auto& arrJooksud = pikadJooksud();
    if (arrJooksud.empty())
        return {};
    const auto it = arrJooksud.find(this);
    return it == arrJooksud.end() ? nullptr : it->second;
}

void ELMARK::SeaTukid(std::shared_ptr<const TextPieces> cTukid) {
    auto& arrJooksud = pikadJooksud();
    if (cTukid)
        arrJooksud[this] = std::move(cTukid);
    else if (!arrJooksud.empty())
        arrJooksud.erase(this);
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
