#include "tekst/SharedMeasurer.h"

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

namespace {

// Canonical reordering sorts each stretch of combining characters in place, in time that grows with
// the square of its length; runs with longer stretches than this keep their text as it is.
constexpr int kPisimJarjestatav = 32;

// The composed form of a run's text, so that canonically equivalent texts share. Text below U+0300
// holds no combining mark and nothing that composes, so it is already composed and most runs skip
// the normalisation and its copy. A text with a stretch of more than kPisimJarjestatav combining
// characters is taken as it is: such texts are not worth the time their reordering would take.
QString koostatud(const QString& strTekst) {
    bool bVaja = false;
    int nJarjest = 0;
    for (qsizetype i = 0; i < strTekst.size(); ++i) {
        const QChar c = strTekst[i];
        if (c.unicode() < 0x300) {
            nJarjest = 0;
            continue;
        }
        bVaja = true;
        char32_t ucs = c.unicode();
        if (c.isHighSurrogate() && i + 1 < strTekst.size() && strTekst[i + 1].isLowSurrogate())
            ucs = QChar::surrogateToUcs4(c, strTekst[++i]);
        nJarjest = QChar::combiningClass(ucs) != 0 ? nJarjest + 1 : 0;
        if (nJarjest > kPisimJarjestatav)
            return strTekst;
    }
    return bVaja ? strTekst.normalized(QString::NormalizationForm_C) : strTekst;
}

} // namespace

SharedMeasurer::SharedMeasurer(const std::vector<KIRI>& arrJooksevKiri, double fSuum)
    : m_arrJooksevKiri(arrJooksevKiri), m_fSuum(fSuum) {}

void SharedMeasurer::Mooda(ELEMENT& element) {
    if (!element.m_TUUP)
        return;
    switch (*element.m_TUUP) {
    case ELTUUP::MARK: {
        auto& mark = static_cast<ELMARK&>(element);
        // A run of one character below U+0300 is its own composed form, and is looked up by a number
        // made of the character and the style index, without hashing a string; a text that composes
        // to such a character is looked up the same way, so that the two share.
        const qint64 nKiri = mark.m_nKiri;
        const auto yksik = [nKiri](const QString& strTekst) -> std::optional<quint64> {
            if (strTekst.size() != 1 || strTekst.at(0).unicode() >= 0x300 || nKiri < 0 ||
                nKiri >= (qint64(1) << 47))
                return std::nullopt;
            return quint64(nKiri) << 16 | strTekst.at(0).unicode();
        };
        std::optional<quint64> nYksik = yksik(mark.m_strTekst);
        QString strKoostatud;
        if (!nYksik) {
            strKoostatud = koostatud(mark.m_strTekst);
            nYksik = yksik(strKoostatud);
        }
        const QPair<QString, qint64> key(strKoostatud, nKiri);
        const Moot* moot = nullptr;
        if (nYksik) {
            if (const auto it = m_arrUksikud.constFind(*nYksik); it != m_arrUksikud.cend())
                moot = &*it;
        } else if (const auto it = m_arrMargid.constFind(key); it != m_arrMargid.cend()) {
            moot = &*it;
        }
        if (moot) {
            mark.m_cSuurus = moot->cSuurus;
            mark.m_fTous = moot->fTous;
            mark.m_fIndeksKorgus = moot->fLisa;
            mark.SeaTukid(moot->cTukid);
            return;
        }
        mark.ArvutaSuurus(m_arrJooksevKiri, m_fSuum);
        const Moot uus{mark.m_cSuurus, mark.m_fTous, mark.m_fIndeksKorgus, mark.TooTukid()};
        if (nYksik)
            m_arrUksikud.insert(*nYksik, uus);
        else
            m_arrMargid.insert(key, uus);
        return;
    }
    case ELTUUP::TUHIK: {
        auto& tuhik = static_cast<ELTUHIK&>(element);
        if (const auto it = m_arrTuhikud.constFind(tuhik.m_nKiri); it != m_arrTuhikud.cend()) {
            tuhik.m_cSuurus = it->cSuurus;
            tuhik.m_fTous = it->fTous;
            tuhik.m_fOrginaalLaius = it->fLisa;
            return;
        }
        tuhik.ArvutaSuurus(m_arrJooksevKiri, m_fSuum);
        m_arrTuhikud.insert(tuhik.m_nKiri, Moot{tuhik.m_cSuurus, tuhik.m_fTous, tuhik.m_fOrginaalLaius, {}});
        return;
    }
    case ELTUUP::TAB:
    case ELTUUP::ENTER: {
        auto& tabel = *element.m_TUUP == ELTUUP::TAB ? m_arrTabid : m_arrEnterid;
        if (const auto it = tabel.constFind(element.m_nKiri); it != tabel.cend()) {
            element.m_cSuurus = it->cSuurus;
            element.m_fTous = it->fTous;
            return;
        }
        if (*element.m_TUUP == ELTUUP::TAB)
            static_cast<ELTAB&>(element).ArvutaSuurus(m_arrJooksevKiri, m_fSuum);
        else
            static_cast<ELENTER&>(element).ArvutaSuurus(m_arrJooksevKiri, m_fSuum);
        tabel.insert(element.m_nKiri, Moot{element.m_cSuurus, element.m_fTous, std::nullopt, {}});
        return;
    }
    case ELTUUP::PILT:
        static_cast<ELPILT&>(element).ArvutaSuurus(m_fSuum);
        return;
    }
}
