#pragma once

#include "ELEMENT.h"
#include "KIRI.h"

#include <QString>
#include <vector>

// A run of characters in one style.
class ELMARK : public ELEMENT {
public:
    ELMARK() { m_TUUP = ELTUUP::MARK; }

    QString m_strTekst;
    std::optional<double> m_fIndeksKorgus;

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
};
