#pragma once

#include "ELEMENT.h"
#include "KIRI.h"

#include <vector>

class Canvas;

class ELENTER : public ELEMENT {
public:
    ELENTER() { m_TUUP = ELTUUP::ENTER; }

    void ArvutaSuurus(const std::vector<KIRI>& arrJooksevKiri, double fSuum);
    void Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const;
};
