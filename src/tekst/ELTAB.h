#pragma once

#include "ELEMENT.h"
#include "KIRI.h"

#include <vector>

class Canvas;

class ELTAB : public ELEMENT {
public:
    ELTAB() { m_TUUP = ELTUUP::TAB; }

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
    void Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const;
};
