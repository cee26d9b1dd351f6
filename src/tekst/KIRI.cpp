#include "tekst/KIRI.h"

#include "extensions/extensions.h"
#include "platform/strings.h"

#include <algorithm>

KIRI::KIRI(QString strKirjatuup, double fKirjasuurus, bool bPaks, bool bKaldkiri, bool bAllaKriipsutatud,
           bool bLabiKriipsutatud, bool bUlaindeks, bool bAlaindeks, Colour clKirjavarv)
    : m_strKirjatuup(std::move(strKirjatuup)), m_fKirjasuurus(fKirjasuurus), m_bPaks(bPaks),
      m_bKaldkiri(bKaldkiri), m_bAllaKriipsutatud(bAllaKriipsutatud), m_bLabiKriipsutatud(bLabiKriipsutatud),
      m_bUlaindeks(bUlaindeks), m_bAlaindeks(bAlaindeks), m_clKirjavarv(clKirjavarv) {}

Font KIRI::TooFont(double fSuum, bool bIndeksFont) const {
    double size = m_fKirjasuurus * fSuum / 100.0;
    if (bIndeksFont && (m_bUlaindeks || m_bAlaindeks))
        size = size * 60.0 / 100.0;

    std::optional<Font> font = fontWithName(m_strKirjatuup, size);
    // The fallback stays plain: an unknown face gives no hint of what its bold would look like.
    if (!font)
        return systemFontOfSize(size);
    if (m_bPaks)
        font = convertFontToHaveTrait(*font, BoldFontMask);
    if (m_bKaldkiri)
        font = convertFontToHaveTrait(*font, ItalicFontMask);
    return *font;
}

KIRI KIRI::copy() const {
    return KIRI(m_strKirjatuup, m_fKirjasuurus, m_bPaks, m_bKaldkiri, m_bAllaKriipsutatud,
                m_bLabiKriipsutatud, m_bUlaindeks, m_bAlaindeks, m_clKirjavarv);
}

bool KIRI::OnSama(const KIRI& UusFont) const {
    // Canonically equivalent names (a precomposed letter or a letter with a combining mark) name
    // the same face; case still matters.
    if (m_strKirjatuup != UusFont.m_strKirjatuup &&
        m_strKirjatuup.normalized(QString::NormalizationForm_C) !=
            UusFont.m_strKirjatuup.normalized(QString::NormalizationForm_C))
        return false;
    return m_fKirjasuurus == UusFont.m_fKirjasuurus && m_bPaks == UusFont.m_bPaks &&
           m_bKaldkiri == UusFont.m_bKaldkiri && m_bAllaKriipsutatud == UusFont.m_bAllaKriipsutatud &&
           m_bLabiKriipsutatud == UusFont.m_bLabiKriipsutatud && m_bUlaindeks == UusFont.m_bUlaindeks &&
           m_bAlaindeks == UusFont.m_bAlaindeks && m_clKirjavarv == UusFont.m_clKirjavarv;
}

void KIRI::LooSonest(QStringView strSone) {
    // A malformed style with missing pieces keeps the defaults for them rather than failing the
    // whole document.
    *this = KIRI();
    NonEmptyPieces pieces(strSone, u';');
    const std::optional<QStringView> kirjatuup = pieces.next();
    if (!kirjatuup)
        return;
    m_strKirjatuup = TooKirjatuup(*kirjatuup);
    LooValjadSonest(strSone.mid(pieces.position()));
}

qsizetype KIRI::LooValjadSonest(QStringView strValjad) {
    const KIRI vaike;
    m_fKirjasuurus = vaike.m_fKirjasuurus;
    m_clKirjavarv = vaike.m_clKirjavarv;
    bool* const flags[] = {&m_bPaks,      &m_bKaldkiri, &m_bAllaKriipsutatud, &m_bLabiKriipsutatud,
                           &m_bUlaindeks, &m_bAlaindeks};
    for (bool* flag : flags)
        *flag = false;

    // Only the pieces up to the colour are walked; whatever follows the ninth piece is never looked at.
    NonEmptyPieces pieces(strValjad, u';');
    if (const std::optional<QStringView> suurus = pieces.next())
        m_fKirjasuurus = lenientDouble(*suurus);
    else
        return pieces.position();
    for (bool* flag : flags) {
        const std::optional<QStringView> tukk = pieces.next();
        if (!tukk)
            return pieces.position();
        *flag = lenientBool(*tukk);
    }
    if (const std::optional<QStringView> varv = pieces.next())
        m_clKirjavarv = colourFromHexString(*varv);
    return pieces.position();
}

QString KIRI::TooKirjatuup(QStringView strTukk) {
    return kirjatuubiOsa(strTukk).toString();
}

QStringView KIRI::kirjatuubiOsa(QStringView strTukk) {
    qsizetype n = std::min(strTukk.size(), kSuurimKirjatuup);
    if (n < strTukk.size() && strTukk[n - 1].isHighSurrogate())
        --n;
    return strTukk.first(n);
}
