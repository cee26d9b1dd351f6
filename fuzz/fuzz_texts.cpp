// The style and colour texts and the lenient number conversions: any text read as a style, both on
// its own and as the reader reads overlapping style texts (which must agree), as a colour (which
// must write back and read again as itself), and as a number and a truth value.

#include "extensions/extensions.h"
#include "fuzzsupport.h"
#include "fuzztargets.h"
#include "platform/strings.h"
#include "tekst/TokenPayloads.h"

#include <QRegularExpression>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The payload of the token whose "{" stands at p, by the reader's rule.
QStringView sisu(QStringView strTekst, qsizetype p) {
    qsizetype nLopp = strTekst.indexOf(u'}', p);
    if (nLopp < 0)
        nLopp = strTekst.size();
    return nLopp > p + 3 ? strTekst.mid(p + 3, nLopp - (p + 3)) : QStringView();
}

void stiilid(const QString& strTekst) {
    KIRI kiri;
    kiri.LooSonest(strTekst);
    FUZZ_CHECK(kiri.m_strKirjatuup.size() <= KIRI::kSuurimKirjatuup);
    (void)kiri.TooFont(100.0, true);

    // Every "{F" of the text as the reader reads it, against each payload read on its own.
    const QString strDokument = QStringLiteral("{F ") + strTekst;
    TokenPayloads payloads(strDokument);
    for (qsizetype p = 0; p >= 0; p = strDokument.indexOf(QLatin1String("{F"), p + 1)) {
        KIRI oodatud;
        oodatud.LooSonest(sisu(strDokument, p));
        const KIRI loetud = payloads.style(p);
        FUZZ_CHECK(loetud.OnSama(oodatud) && loetud.m_strKirjatuup == oodatud.m_strKirjatuup);
    }
}

void varvid(const QString& strTekst) {
    const Colour varv = colourFromHexString(strTekst);
    FUZZ_CHECK(varv == colourFromHexString(strTekst.trimmed()));
    const QString strHex = hexStringFromColour(varv);
    static const QRegularExpression kuju(QStringLiteral("^#[0-9a-f]{6}$"));
    FUZZ_CHECK(kuju.match(strHex).hasMatch());
    FUZZ_CHECK(colourFromHexString(strHex) == varv);
}

// A text made only of what C's strtod reads the same way (digits, one sign, a point, an exponent)
// must read as strtod reads it, where strtod reports no range error.
void arvud(const QString& strTekst) {
    const double f = lenientDouble(strTekst);
    (void)lenientBool(strTekst);
    (void)scanHexInt(strTekst, 0);
    (void)scanHexInt(strTekst, strTekst.size() / 2);

    std::string ascii;
    for (const QChar c : strTekst) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'e' || u == u'E' || u == u'+' || u == u'-'))
            return;
        ascii += char(u);
    }
    errno = 0;
    char* end = nullptr;
    const double viide = std::strtod(ascii.c_str(), &end);
    if (errno == ERANGE)
        return;
    FUZZ_CHECK(f == viide && std::signbit(f) == std::signbit(viide));
}

} // namespace

void fuzzTexts(const uint8_t* data, size_t size) {
    const QString strTekst = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    stiilid(strTekst);
    varvid(strTekst);
    arvud(strTekst);
}
