#include "tekst/TokenPayloads.h"

#include <algorithm>

qsizetype TokenPayloads::nextOf(QChar c, qsizetype from, NextOf& cache) {
    Q_ASSERT(from >= cache.from);
    // Nothing between the last query and its answer holds c, so any query in between has the same
    // answer.
    if (from >= cache.from && from <= cache.at)
        return cache.at;
    qsizetype at = m_strSisu.indexOf(c, from);
    if (at < 0)
        at = m_strSisu.size();
    m_nVaadatud += at - from;
    cache = {from, at};
    return at;
}

qsizetype TokenPayloads::closingBrace(qsizetype p) {
    return nextOf(u'}', p, m_sulg);
}

QStringView TokenPayloads::payload(qsizetype p) {
    const qsizetype nLopp = closingBrace(p);
    return nLopp > p + 3 ? m_strSisu.mid(p + 3, nLopp - (p + 3)) : QStringView();
}

TokenPayloads::StyleText TokenPayloads::styleText(qsizetype p) {
    const qsizetype nLopp = closingBrace(p);
    // The face name is the first non-empty piece. Two tokens cannot share a run of ";" before it (the
    // second token's letters would stand in the run), so skipping it walks each ";" once.
    qsizetype nNimi = p + 3;
    while (nNimi < nLopp && m_strSisu[nNimi] == u';') {
        ++nNimi;
        ++m_nVaadatud;
    }
    if (nNimi >= nLopp)
        return {std::nullopt, nLopp, nLopp};
    const qsizetype nNimeLopp = std::min(nextOf(u';', nNimi, m_semikoolon), nLopp);
    const QStringView strNimi = KIRI::kirjatuubiOsa(m_strSisu.mid(nNimi, nNimeLopp - nNimi));
    m_nVaadatud += strNimi.size();
    return {strNimi, nNimeLopp, nLopp};
}

const KIRI& TokenPayloads::fields(const StyleText& tekst) {
    // Every token whose face name ends at the same ";" has the same fields after it. Between two such
    // ";" stands at least one face name, a non-empty piece, so a character is walked by the fields of
    // at most nine of them.
    if (tekst.nValjadAlgus != m_nValjadAlgus || tekst.nValjadLopp != m_nValjadLopp) {
        m_valjad = KIRI();
        m_nVaadatud += m_valjad.LooValjadSonest(
            m_strSisu.mid(tekst.nValjadAlgus, tekst.nValjadLopp - tekst.nValjadAlgus));
        m_nValjadAlgus = tekst.nValjadAlgus;
        m_nValjadLopp = tekst.nValjadLopp;
    }
    return m_valjad;
}

KIRI TokenPayloads::style(qsizetype p) {
    const StyleText tekst = styleText(p);
    if (!tekst.kirjatuup)
        return KIRI();
    KIRI kiri = fields(tekst);
    kiri.m_strKirjatuup = tekst.kirjatuup->toString();
    return kiri;
}
