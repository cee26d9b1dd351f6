// Copying the selection, selecting everything, offering the selection to the selection clipboard,
// and search.

#include "tekst/Tekstiboks.h"

#include "extensions/extensions.h"
#include "platform/strings.h"
#include "platform/unicode.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"

#include <QPointer>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// Whether a match that ends at nKoht ends at the end of a character as the user sees it: "e" must
// not match the e of "é" written as e and a combining accent, which is not an e.
bool loppebTahemargil(QStringView strTekst, qsizetype nKoht) {
    if (nKoht <= 0 || nKoht >= strTekst.size())
        return true;
    // Below the combining marks every character stands on its own (but CR before LF).
    const char16_t c = strTekst.at(nKoht).unicode();
    if (c < 0x0300 && c != u'\n')
        return true;
    // Grapheme boundaries depend only on the characters near them; a window keeps the test small.
    constexpr qsizetype kUmbrus = 32;
    const qsizetype nAlgus = std::max<qsizetype>(0, nKoht - kUmbrus);
    const qsizetype nLopp = std::min(strTekst.size(), nKoht + kUmbrus);
    QTextBoundaryFinder piirid(QTextBoundaryFinder::Grapheme, strTekst.data() + nAlgus, nLopp - nAlgus);
    piirid.setPosition(nKoht - nAlgus);
    return piirid.isAtBoundary();
}

// The first match of strOtsitav lying wholly in [nAlgus, nLopp) of strTekst that ends at the end of a
// character, as its start; -1 when there is none. One pass over the range, whatever the texts hold.
qsizetype leiaVahemikus(const QString& strTekst, SubstringSearch& otsing, qsizetype nPikkus, qsizetype nAlgus,
                        qsizetype nLopp) {
    if (nAlgus < 0 || nAlgus > strTekst.size())
        return -1;
    return otsing.find(strTekst, nAlgus, nLopp,
                       [&](qsizetype p) { return loppebTahemargil(strTekst, p + nPikkus); });
}

// The query as the search text holds every piece: upper-cased and decomposed, so that case and the
// composed or decomposed writing of a letter do not matter.
// The search text holds every piece upper-cased and decomposed; the query is made alike, so that case
// and the composed or decomposed writing of a letter do not matter.
QString otsitavKuju(const QString& strOtsitav) {
    return canonicalDecomposition(strOtsitav.toUpper());
}

} // namespace

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

void Tekstiboks::Otsi(const QString& strOtsitav) {
    const QString strQ = otsitavKuju(strOtsitav);
    const qint64 nElemente = qint64(m_arrSisuAlgus.size());
    qsizetype p = -1;
    if (!strQ.isEmpty() && nElemente > 0) {
        // Offsets in the search text are not element indices (a run is a word, ß becomes SS), so the
        // two parts are bounded by where the elements' pieces start.
        const qint64 k = std::clamp<qint64>(m_nKursor, 0, nElemente - 1);
        const qsizetype nEdasi =
            k + 1 < nElemente ? qsizetype(m_arrSisuAlgus[size_t(k + 1)]) : m_strSisu.size();
        SubstringSearch otsing(strQ);
        p = leiaVahemikus(m_strSisu, otsing, strQ.size(), nEdasi, m_strSisu.size());
        if (p < 0)
            p = leiaVahemikus(m_strSisu, otsing, strQ.size(), 0, qsizetype(m_arrSisuAlgus[size_t(k)]));
    }
    if (p < 0) {
        DialoogOK(QStringLiteral("Otsi"), QStringLiteral("Midagi ei leidnud!"));
        return;
    }
    // From the element of the match's first code unit to the one after that of its last; the caret
    // never goes past the final paragraph end.
    const qint64 nViimane = std::max<qint64>(0, TooMaksKursor() - 1);
    m_nShiftKursor = std::min(TooSisuElement(p), nViimane);
    m_nKursor = std::min(TooSisuElement(p + strQ.size() - 1) + 1, nViimane);
    Varskenda(true, true, false);
}

const std::vector<Tekstiboks::KURSORID>& Tekstiboks::LoendaLeiud(const QString& strOtsitav) {
    const QString strQ = otsitavKuju(strOtsitav);
    if (m_cLeiud.bLoendatud && m_cLeiud.nVersioon == m_nVersioon && m_cLeiud.strOtsitav == strQ)
        return m_cLeiud.arrLeiud;
    m_cLeiud = LEIUD{strQ, m_nVersioon, true, {}};
    const qint64 nElemente = qint64(m_arrSisuAlgus.size());
    if (strQ.isEmpty() || nElemente == 0)
        return m_cLeiud.arrLeiud;
    // Matches map to the elements their first and last code units came from, as a search selects
    // them. Several matches inside one element are one selectable occurrence, so the scan goes on
    // after the elements of the last one; a match that would select nothing (the final paragraph
    // end alone) is passed over. Each scan begins after the last match, so together they pass over
    // the search text once.
    const qint64 nViimane = std::max<qint64>(0, TooMaksKursor() - 1);
    SubstringSearch otsing(strQ);
    qsizetype nAlates = 0;
    for (;;) {
        const qsizetype p = leiaVahemikus(m_strSisu, otsing, strQ.size(), nAlates, m_strSisu.size());
        if (p < 0)
            break;
        const qint64 n1 = std::min(TooSisuElement(p), nViimane);
        const qint64 n2 = std::min(TooSisuElement(p + strQ.size() - 1) + 1, nViimane);
        if (n1 < n2) {
            m_cLeiud.arrLeiud.push_back({n1, n2});
            nAlates = n2 < nElemente ? qsizetype(m_arrSisuAlgus[size_t(n2)]) : m_strSisu.size();
        } else {
            nAlates = p + 1;
        }
    }
    return m_cLeiud.arrLeiud;
}

bool Tekstiboks::OnLoendatud(const QString& strOtsitav) const {
    return m_cLeiud.bLoendatud && m_cLeiud.nVersioon == m_nVersioon &&
           m_cLeiud.strOtsitav == otsitavKuju(strOtsitav);
}

qint64 Tekstiboks::TooLeidudeArv() const {
    return m_cLeiud.nVersioon == m_nVersioon ? qint64(m_cLeiud.arrLeiud.size()) : 0;
}

qint64 Tekstiboks::TooLeiuNumber() const {
    if (m_cLeiud.nVersioon != m_nVersioon)
        return 0;
    const std::vector<KURSORID>& arr = m_cLeiud.arrLeiud;
    const qint64 n1 = std::min(m_nKursor, m_nShiftKursor);
    const qint64 n2 = std::max(m_nKursor, m_nShiftKursor);
    const auto it =
        std::lower_bound(arr.begin(), arr.end(), n1, [](const KURSORID& r, qint64 n) { return r.m_n1 < n; });
    if (it == arr.end() || it->m_n1 != n1 || it->m_n2 != n2)
        return 0;
    return qint64(it - arr.begin()) + 1;
}

void Tekstiboks::ValiLeid(const KURSORID& r) {
    m_nShiftKursor = r.m_n1;
    m_nKursor = r.m_n2;
    Varskenda(true, true, false);
}

void Tekstiboks::OtsiJargmine(const QString& strOtsitav) {
    const std::vector<KURSORID>& arr = LoendaLeiud(strOtsitav);
    if (arr.empty()) {
        DialoogOK(QStringLiteral("Otsi"), QStringLiteral("Midagi ei leidnud!"));
        return;
    }
    const qint64 nYlem = std::max(m_nKursor, m_nShiftKursor);
    const auto it = std::lower_bound(arr.begin(), arr.end(), nYlem,
                                     [](const KURSORID& r, qint64 n) { return r.m_n1 < n; });
    ValiLeid(it == arr.end() ? arr.front() : *it);
}

void Tekstiboks::OtsiEelmine(const QString& strOtsitav) {
    const std::vector<KURSORID>& arr = LoendaLeiud(strOtsitav);
    if (arr.empty()) {
        DialoogOK(QStringLiteral("Otsi"), QStringLiteral("Midagi ei leidnud!"));
        return;
    }
    // Occurrences do not overlap, so their ends are in order too: the first one ending past the
    // lower end follows the last one lying wholly before it.
    const qint64 nAlum = std::min(m_nKursor, m_nShiftKursor);
    const auto it = std::upper_bound(arr.begin(), arr.end(), nAlum,
                                     [](qint64 n, const KURSORID& r) { return n < r.m_n2; });
    ValiLeid(it == arr.begin() ? arr.back() : *std::prev(it));
}
