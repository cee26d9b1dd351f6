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

    ELMARK(const ELMARK&) = delete;
    ELMARK& operator=(const ELMARK&) = delete;
    ~ELMARK() override;

    QString m_strTekst;
    CompactOptional<double> m_fIndeksKorgus;

    // For a text longer than kTextPieceLength: where measuring cut it, and the advance before each
    // piece, so that drawing can find the part in view without measuring the text again. Null for
    // shorter texts and before measuring. Kept beside the run rather than in it: few runs are that
    // long, and a field would make every run of a document larger.
    std::shared_ptr<const TextPieces> TooTukid() const;
    void SeaTukid(std::shared_ptr<const TextPieces> cTukid);

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
};
