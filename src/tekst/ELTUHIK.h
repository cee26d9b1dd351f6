#pragma once

#include "ELEMENT.h"
#include "KIRI.h"

#include <vector>

class Canvas;

class ELTUHIK : public ELEMENT {
public:
    ELTUHIK() { m_TUUP = ELTUUP::TUHIK; }

    // The space's natural width, kept so that justification can be undone.
    CompactOptional<double> m_fOrginaalLaius;

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
    void Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const;
};
