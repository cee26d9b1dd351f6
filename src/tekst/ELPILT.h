#pragma once

#include "ELEMENT.h"
#include "platform/image.h"

#include <QImage>
#include <QString>

class Canvas;

// An embedded picture: its bitmap (always the program's own RGBA kind) and the size the document
// shows it at 100 % zoom, which is independent of the bitmap's pixel size.
class ELPILT : public ELEMENT {
public:
    ELPILT() { m_TUUP = ELTUUP::PILT; }

    std::optional<QImage> m_Kujutis;
    std::optional<QSizeF> m_cOrginaalSuurus;

    void LooKujutis(const DecodedImage& Kujutis);
    void LooKujutis(const QImage& bmKujutis, QSizeF cOrginaalSuurus);
    void ArvutaSuurus(double fSuum);
    void Joonista(Canvas& canvas, QPointF ptNihe, bool bValitud, double fRidaKorgus) const;
    QString TooSone() const;
    void LooSonest(const QString& strSone);
};
