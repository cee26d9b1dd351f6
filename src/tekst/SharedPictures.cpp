#include "tekst/SharedPictures.h"

#include "extensions/extensions.h"
#include "tekst/ELPILT.h"

#include <algorithm>
#include <numeric>

SharedPictures::SharedPictures(qint64 nEelarvePikslid, qint64 nTooEelarve)
    : m_nEelarvePikslid(nEelarvePikslid), m_nTooEelarve(nTooEelarve) {}

void SharedPictures::Lisa(ELPILT& pilt, QStringView strSone) {
    const PictureText tekst = parsePictureText(strSone);
    pilt.m_cOrginaalSuurus = tekst.storedSize;
    pilt.m_Kujutis.reset();
    auto it = m_indeks.constFind(tekst.payload);
    if (it == m_indeks.constEnd()) {
        it = m_indeks.insert(tekst.payload, qsizetype(m_arrAndmed.size()));
        m_arrAndmed.push_back({tekst.payload, {}});
    }
    m_arrAndmed[size_t(*it)].arrPildid.push_back(&pilt);
}

bool SharedPictures::LooKujutised(const std::function<bool(double)>& fnEdenemine) {
    // What each payload would take in full, by its header alone; a bitmap never exceeds the bound
    // of one picture. A payload whose header tells nothing is decoded within that bound, if at all.
    const size_t nArv = std::min(m_arrAndmed.size(), size_t(std::max<qint64>(m_nTooEelarve, 0) / kVahimToo));
    std::vector<ImageHeader> arrPais(nArv);
    std::vector<qint64> arrVaja(nArv);
    m_nPaiseid = qint64(nArv);
    for (size_t k = 0; k < nArv; ++k) {
        arrPais[k] = payloadHeader(m_arrAndmed[k].payload);
        arrVaja[k] =
            arrPais[k].size.isValid()
                ? std::min(qint64(arrPais[k].size.width()) * arrPais[k].size.height(), kBitmapMaximumPixels)
                : 0;
    }

    // The budget is shared out from the smallest need up: each takes what it needs, or an equal share
    // of what is left when that is less, so that the largest pictures are the ones scaled down.
    std::vector<size_t> arrJarjekord(nArv);
    std::iota(arrJarjekord.begin(), arrJarjekord.end(), size_t(0));
    std::stable_sort(arrJarjekord.begin(), arrJarjekord.end(),
                     [&](size_t a, size_t b) { return arrVaja[a] < arrVaja[b]; });
    std::vector<qint64> arrLubatud(nArv, kBitmapMaximumPixels);
    qint64 nJaanud = std::max<qint64>(m_nEelarvePikslid, 0);
    size_t nJarel = nArv;
    for (const size_t k : arrJarjekord) {
        const qint64 nOsa = nJaanud / qint64(nJarel--);
        if (arrVaja[k] > 0) {
            arrLubatud[k] = std::max<qint64>(std::min(arrVaja[k], nOsa), 1);
            nJaanud = std::max<qint64>(nJaanud - arrLubatud[k], 0);
        }
    }

    qint64 nTooJaanud = std::max<qint64>(m_nTooEelarve, 0);
    for (size_t k = 0; k < nArv; ++k) {
        if (fnEdenemine && !fnEdenemine(double(k) / double(nArv)))
            return false;
        const qint64 nToo = std::max(decodingWork(arrPais[k], arrLubatud[k]), kVahimToo);
        if (nToo > nTooJaanud) {
            nTooJaanud -= std::min(kVahimToo, nTooJaanud);
            continue;
        }
        nTooJaanud -= nToo;
        const QImage bitmap = bitmapFromPayload(m_arrAndmed[k].payload, arrLubatud[k]);
        if (bitmap.isNull())
            continue;
        for (ELPILT* pilt : m_arrAndmed[k].arrPildid)
            pilt->m_Kujutis = bitmap;
    }
    return true;
}
