// A picture's payload: the bytes as a picture text (base64, stored size), and the bytes as an image
// file inside a picture text. Each is decoded, converted into the program's bitmap and written back
// with TooSone, which must read back as the same picture.

#include "fuzzsupport.h"
#include "fuzztargets.h"
#include "platform/image.h"
#include "tekst/ELPILT.h"

#include <cmath>

namespace {

bool samaArv(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void edasiTagasi(const QString& strSone) {
    ELPILT pilt;
    pilt.LooSonest(strSone);
    FUZZ_CHECK(pilt.m_cOrginaalSuurus.has_value());
    FUZZ_CHECK(!pilt.m_Kujutis || (!pilt.m_Kujutis->isNull() && pilt.m_Kujutis->width() <= 16384 &&
                                   pilt.m_Kujutis->height() <= 16384));

    // Writing a bitmap of many megapixels as PNG and reading it back takes seconds and tries nothing
    // that a small one does not.
    if (pilt.m_Kujutis && qint64(pilt.m_Kujutis->width()) * pilt.m_Kujutis->height() > 1024 * 1024)
        return;
    const QString strMark = pilt.TooSone();
    FUZZ_CHECK(strMark.startsWith(QLatin1String("{P ")) && strMark.endsWith(QLatin1String(";}")));
    ELPILT tagasi;
    tagasi.LooSonest(strMark.mid(3, strMark.size() - 4));
    FUZZ_CHECK(tagasi.m_cOrginaalSuurus &&
               samaArv(tagasi.m_cOrginaalSuurus->width(), pilt.m_cOrginaalSuurus->width()) &&
               samaArv(tagasi.m_cOrginaalSuurus->height(), pilt.m_cOrginaalSuurus->height()));
    FUZZ_CHECK(tagasi.m_Kujutis.has_value());
    if (pilt.m_Kujutis)
        FUZZ_CHECK(tagasi.m_Kujutis->size() == pilt.m_Kujutis->size());
}

} // namespace

void fuzzPicture(const uint8_t* data, size_t size) {
    const QByteArray baBaidid(reinterpret_cast<const char*>(data), qsizetype(size));
    // The bytes as a picture text, and as an image file with a stored size taken from its length.
    edasiTagasi(QString::fromLatin1(baBaidid));
    edasiTagasi(encodeBase64(baBaidid) + QStringLiteral(";%1;%2;").arg(size % 300).arg(size % 7 * 11.5));
}
