#pragma once

#include "platform/colour.h"
#include "platform/fonts.h"

#include <QString>
#include <QStringView>

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
    void LooSonest(QStringView strSone);
    // Reads the eight fields after the face name (size, the six flags, colour) from the text that
    // follows the face name's piece; a field without a piece takes its default. The face name is
    // left as it is. Returns how much of the text was walked: everything up to the colour's piece.
    qsizetype LooValjadSonest(QStringView strValjad);

    // The longest face name a style keeps, in UTF-16 code units. Installed faces have names of a few
    // dozen characters; a document's style text without its closing "}" runs on through the rest of
    // the document, and cutting the name here keeps what such a text costs to read and to compare
    // independent of the document's length. Longer names can name no face anyway.
    static constexpr qsizetype kSuurimKirjatuup = 128;
    // The face name a style keeps for the piece: at most kSuurimKirjatuup code units, never ending in
    // the first half of a surrogate pair.
    static QString TooKirjatuup(QStringView strTukk);
    // The part of the piece that TooKirjatuup keeps.
    static QStringView kirjatuubiOsa(QStringView strTukk);
};
