#pragma once

#include "KIRI.h"

#include <QStringView>
#include <optional>

// Reads the payloads of a document's tokens for the reader. A payload runs from the third character
// after its "{" up to the next "}", and the payloads of "{F" and "{E" are scanned again as ordinary
// characters, so a style or colour text without its "}" holds every token after it, up to the end of
// the document. Read afresh for each token, such texts would cost the square of the document's
// length. Here the closing "}" and a face name's ";" are found once for a stretch of tokens, the
// fields after a face name are read once for all the tokens whose face names end at the same ";",
// and a face name is cut at KIRI::kSuurimKirjatuup, so that all tokens together cost time linear in
// the text. The results are those of KIRI::LooSonest and colourFromHexString on the payloads.
//
// Usage: ask for the tokens in document order; positions must not decrease from one call to the
// next. The text must outlive the object.
class TokenPayloads {
public:
    explicit TokenPayloads(QStringView strSisu) : m_strSisu(strSisu) {}

    // The position of the "}" that closes the token whose "{" stands at p: the first "}" at or
    // after p, or the text's length when there is none.
    qsizetype closingBrace(qsizetype p);
    // The payload of the token whose "{" stands at p: from p + 3 up to its closing "}" (empty when
    // that comes first).
    QStringView payload(qsizetype p);
    // Where the style text of the "{F" token at p keeps its fields: the face name (cut as
    // KIRI::TooKirjatuup cuts it; absent when the text has no non-empty piece) and the stretch the
    // fields after it are read from. Two tokens with equal face names and the same stretch have
    // equal styles.
    struct StyleText {
        std::optional<QStringView> kirjatuup;
        qsizetype nValjadAlgus = 0;
        qsizetype nValjadLopp = 0;
    };
    StyleText styleText(qsizetype p);
    // The fields after the face name of a style text (its face name is the default one).
    const KIRI& fields(const StyleText& tekst);
    // The style of the "{F" token at p, as KIRI::LooSonest reads its payload.
    KIRI style(qsizetype p);

    // The characters looked at so far, beyond those of the payloads' first characters: what the
    // searches for "}" and ";", the face names and the fields after them have walked.
    qint64 examined() const { return m_nVaadatud; }

private:
    // The first position at or after `from` that holds `c`, or the text's length. A later query
    // from within the stretch the last one walked is answered without walking it again.
    struct NextOf {
        qsizetype from = -1;
        qsizetype at = -1;
    };
    qsizetype nextOf(QChar c, qsizetype from, NextOf& cache);

    QStringView m_strSisu;
    NextOf m_sulg;
    NextOf m_semikoolon;
    // The fields after the face name last read, and the stretch of text they were read from.
    KIRI m_valjad;
    qsizetype m_nValjadAlgus = -1;
    qsizetype m_nValjadLopp = -1;
    qint64 m_nVaadatud = 0;
};
