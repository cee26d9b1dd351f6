#include "tekst/SharedMeasurer.h"

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

namespace {

// The composed form of a run's text. Text below U+0300 holds no combining mark and nothing that
// composes, so it is already composed and most runs skip the normalisation and its copy.
QString koostatud(const QString& strTekst) {
    for (const QChar c : strTekst) {
        if (c.unicode() >= 0x300)
            return strTekst.normalized(QString::NormalizationForm_C);
    }
    return strTekst;
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
        const QPair<QString, qint64> key(koostatud(mark.m_strTekst), mark.m_nKiri);
        if (const auto it = m_arrMargid.constFind(key); it != m_arrMargid.cend()) {
            mark.m_cSuurus = it->cSuurus;
            mark.m_fTous = it->fTous;
            mark.m_fIndeksKorgus = it->fLisa;
            return;
        }
        mark.ArvutaSuurus(m_arrJooksevKiri, m_fSuum);
        m_arrMargid.insert(key, Moot{mark.m_cSuurus, mark.m_fTous, mark.m_fIndeksKorgus});
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
        m_arrTuhikud.insert(tuhik.m_nKiri, Moot{tuhik.m_cSuurus, tuhik.m_fTous, tuhik.m_fOrginaalLaius});
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
        tabel.insert(element.m_nKiri, Moot{element.m_cSuurus, element.m_fTous, std::nullopt});
        return;
    }
    case ELTUUP::PILT:
        static_cast<ELPILT&>(element).ArvutaSuurus(m_fSuum);
        return;
    }
}
