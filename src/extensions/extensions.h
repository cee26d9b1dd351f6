#pragma once

#include "platform/colour.h"
#include "platform/image.h"

#include <QImage>
#include <QString>
#include <QStringView>

// The colour of a colour text: an optional "#", then hexadecimal digits read as one 32-bit number
// (red in bits 16-23, green 8-15, blue 0-7; the top byte ignored). Never fails: no digits is black.
// Reading stops after the digits, so it costs what the text's start costs, not its length.
Colour colourFromHexString(QStringView strHex);
inline Colour colourFromHexString(const QString& strHex) {
    return colourFromHexString(QStringView(strHex));
}
// "#" and six lower-case hexadecimal digits; each component x 255, truncated.
QString hexStringFromColour(const Colour& colour);

// The program's one way to report a failure: a modal warning with a title, a text and "OK".
bool DialoogOK(const QString& strKusimus, const QString& strTekst);

// The most pixels one picture's bitmap has (256 MB at four bytes a pixel).
constexpr qint64 kBitmapMaximumPixels = 64 * 1024 * 1024;

// A fresh bitmap of the program's own kind (RGBA, 8 bits a sample) holding the source scaled to its
// size in points. A source below one point in either direction gives 1 pixel there; a source whose
// bitmap would be unreasonably large is scaled down proportionally (at most 16384 pixels a side and
// 64 megapixels), so that no file can exhaust memory.
QImage TooKujutis(const DecodedImage& im);
QImage TooKujutis(const QImage& bm);
// The pixel size TooKujutis gives a source of `sizeInPoints`.
QSize bitmapSizeForPoints(QSizeF sizeInPoints);
