#pragma once

#include "platform/colour.h"
#include "platform/fonts.h"

#include <QString>

// A character style: face, size, the six flags and the text colour.
class KIRI {
public:
    KIRI() = default;
    KIRI(QString strKirjatuup, double fKirjasuurus, bool bPaks, bool bKaldkiri, bool bAllaKriipsutatud,
         bool bLabiKriipsutatud, bool bUlaindeks, bool bAlaindeks, Colour clKirjavarv);

    QString m_strKirjatuup = QStringLiteral("Arial");
    double m_fKirjasuurus = 15.0;
    bool m_bPaks = false;
    bool m_bKaldkiri = false;
    bool m_bAllaKriipsutatud = false;
    bool m_bLabiKriipsutatud = false;
    bool m_bUlaindeks = false;
    bool m_bAlaindeks = false;
    Colour m_clKirjavarv = Colour::black();

    // The font at zoom fSuum (percent); with bIndeksFont, super- and subscript styles get 60 %.
    Font TooFont(double fSuum, bool bIndeksFont) const;
    KIRI copy() const;
    bool OnSama(const KIRI& UusFont) const;
    // Reads the nine-field text form "face;size;bold;italic;underline;strike;super;sub;#rrggbb".
    void LooSonest(const QString& strSone);
};
