#pragma once

#include "ELEMENT.h"
#include "KIRI.h"

#include <QString>
#include <memory>
#include <vector>

// A run of characters in one style.
class ELMARK : public ELEMENT {
public:
    ELMARK() { m_TUUP = ELTUUP::MARK; }

    QString m_strTekst;
    std::optional<double> m_fIndeksKorgus;
    // For a text longer than kTextPieceLength: where measuring cut it, and the advance before each
    // piece, so that drawing can find the part in view without measuring the text again.
    std::shared_ptr<const TextPieces> m_cTukid;

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
};
