// Copying the selection, selecting everything and offering the selection to the selection
// clipboard.

#include "tekst/Tekstiboks.h"

#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"

#include <QPointer>

#include <algorithm>

PasteboardItems Tekstiboks::TooKopeeritav(const KURSORID& r) const {
    PasteboardItems arrKirjed;
    const size_t nRead = std::min(m_arrRIDA.size(), m_arrReaAlgus.size());
    const qint64 n1 = std::max<qint64>(r.m_n1, 0);
    const qint64 n2 = r.m_n2;
    if (n1 >= n2 || nRead == 0)
        return arrKirjed;

    // The walk starts at the line that holds the range's first element and ends with the range:
    // its cost follows the range, not the document.
    const auto alates = m_arrReaAlgus.begin();
    const auto it = std::upper_bound(alates, alates + std::ptrdiff_t(nRead), n1);
    size_t k = it == alates ? 0 : size_t(it - alates) - 1;

    QString strTekst;
    auto lopetaTekst = [&] {
        if (!strTekst.isEmpty())
            arrKirjed.push_back(PasteboardItem::fromText(std::exchange(strTekst, QString())));
    };
    for (; k < nRead && m_arrReaAlgus[k] < n2; ++k) {
        const RIDA& rida = m_arrRIDA[k];
        const qint64 s = m_arrReaAlgus[k];
        const qint64 nAlates = std::max<qint64>(n1 - s, 0);
        const qint64 nKuni = std::min<qint64>(n2 - s, qint64(rida.m_arrELEMENT.size()));
        for (qint64 j = nAlates; j < nKuni; ++j) {
            const ELEMENT* e = rida.m_arrELEMENT[size_t(j)];
            if (!e || !e->m_TUUP)
                continue;
            switch (*e->m_TUUP) {
            case ELTUUP::PILT: {
                // A picture without a bitmap has nothing to copy and is left out.
                const auto* pilt = static_cast<const ELPILT*>(e);
                if (pilt->m_Kujutis && !pilt->m_Kujutis->isNull()) {
                    lopetaTekst();
                    arrKirjed.push_back(PasteboardItem::fromImage(*pilt->m_Kujutis));
                }
                break;
            }
            case ELTUUP::ENTER:
                strTekst += QLatin1Char('\n');
                break;
            case ELTUUP::TAB:
                strTekst += QLatin1Char('\t');
                break;
            case ELTUUP::TUHIK:
                strTekst += QLatin1Char(' ');
                break;
            case ELTUUP::MARK:
                strTekst += static_cast<const ELMARK*>(e)->m_strTekst;
                break;
            }
        }
    }
    lopetaTekst();
    return arrKirjed;
}

void Tekstiboks::LoikalaudKopeeri() const {
    writePasteboard(TooKopeeritav(TooKursorid()));
}

bool Tekstiboks::OnKopeeri() const {
    return m_nKursor != m_nShiftKursor;
}

void Tekstiboks::ValiKoik() {
    m_nKursor = std::max<qint64>(0, TooMaksKursor() - 1);
    m_nShiftKursor = 0;
    Varskenda(true, true, false);
}

void Tekstiboks::PakuValikut() {
    const qint64 nAlgus = std::min(m_nKursor, m_nShiftKursor);
    const qint64 nLopp = std::max(m_nKursor, m_nShiftKursor);
    if (nAlgus == nLopp) {
        // Forgotten, so that selecting the same range again offers it again.
        m_nPakutudAlgus = m_nPakutudLopp = 0;
        return;
    }
    const std::shared_ptr<LOIK> dokument = m_arrLOIK.empty() ? nullptr : m_arrLOIK.front();
    if (nAlgus == m_nPakutudAlgus && nLopp == m_nPakutudLopp && dokument == m_cPakutudDokument.lock())
        return;
    m_nPakutudAlgus = nAlgus;
    m_nPakutudLopp = nLopp;
    m_cPakutudDokument = dokument;

    // The text is made only when another program asks for it, from the document as it is then; a
    // view that is gone or shows another document gives nothing.
    const QPointer<const Tekstiboks> vaade(this);
    const std::weak_ptr<LOIK> oliDokument = dokument;
    offerSelectionText([vaade, oliDokument, nAlgus, nLopp]() -> QString {
        const std::shared_ptr<LOIK> esimene = oliDokument.lock();
        if (!vaade || !esimene || vaade->m_arrLOIK.empty() || vaade->m_arrLOIK.front() != esimene)
            return {};
        return plainTextOf(vaade->TooKopeeritav({nAlgus, nLopp}));
    });
}
