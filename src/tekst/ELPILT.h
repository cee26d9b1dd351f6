#pragma once

#include "ELEMENT.h"
#include "platform/image.h"

#include <QImage>
#include <QString>
#include <QStringView>

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

// A picture text taken apart: its payload (an image file in base64) and its stored size. Both are
// read by position after empty pieces are dropped; missing numbers read as 0.
struct PictureText {
    QStringView payload;
    QSizeF storedSize;
};
PictureText parsePictureText(QStringView strSone);

// The program's bitmap of a payload, decoded at most `maxPixels` pixels large (scaled down by one
// factor beyond that); a null image when the payload is no image.
QImage bitmapFromPayload(QStringView payload, qint64 maxPixels);

// The header of the payload's image, read without decoding it (an invalid size when the payload is no
// image or its header does not tell).
ImageHeader payloadHeader(QStringView payload);
