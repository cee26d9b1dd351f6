// The elements that draw themselves: the backgrounds of tabs, spaces and paragraph ends, and pictures.

#include "platform/canvas.h"
#include "tekst/ELENTER.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

namespace {

const Colour kValikuTaust{0.0, 0.0, 1.0, 1.0};
const Colour kPildiValik{0.3, 0.7, 1.0, 0.5};

// The same band of the line's full height that a run gets, so that a selection or highlight runs on
// unbroken across spaces and tabs. An absent highlight has no colour to fill with and stays white.
void joonistaTaust(Canvas& canvas, const ELEMENT& e, QPointF ptNihe, bool bValitud, double fKorgus) {
    if (!e.m_cSuurus)
        return;
    std::optional<Colour> clTaust;
    if (bValitud)
        clTaust = kValikuTaust;
    else if (e.m_clEsiletost && *e.m_clEsiletost != Colour::white())
        clTaust = e.m_clEsiletost;
    canvas.setAntialiasing(false);
    if (clTaust)
        canvas.fillRect(QRectF(ptNihe.x(), ptNihe.y(), e.laius(), fKorgus), *clTaust);
    canvas.setAntialiasing(true);
}

} // namespace

void ELTAB::Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const {
    joonistaTaust(canvas, *this, ptNihe, bValitud, fKorgus);
}

void ELTUHIK::Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const {
    joonistaTaust(canvas, *this, ptNihe, bValitud, fKorgus);
}

void ELENTER::Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fKorgus) const {
    joonistaTaust(canvas, *this, ptNihe, bValitud, fKorgus);
}

void ELPILT::Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fRidaKorgus) const {
    if (!m_cSuurus)
        return;
    const double w = laius();
    const double h = korgus();
    // The picture stands on the bottom of its line, scaled to its measured size whatever its pixels.
    const double y = ptNihe.y() + fRidaKorgus - h;
    if (m_Kujutis && !m_Kujutis->isNull() && w > 0.0 && h > 0.0)
        canvas.drawImage(QRectF(ptNihe.x(), y, w, h), *m_Kujutis);
    if (bValitud)
        canvas.fillRect(QRectF(ptNihe.x(), ptNihe.y(), w, fRidaKorgus), kPildiValik);
}
