#include "extensions/extensions.h"

#include "platform/messagebox.h"
#include "platform/strings.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

int componentByte(double component) {
    // Out-of-range and NaN components would make the conversion undefined.
    if (!(component > 0.0))
        return 0;
    if (component >= 1.0)
        return 255;
    return int(component * 255.0);
}

// Bounds that keep one picture's bitmap within reasonable memory.
constexpr double kMaximumSide = kMaximumDecodedSide;
constexpr double kMaximumPixels = double(kBitmapMaximumPixels);

} // namespace

QSize bitmapSizeForPoints(QSizeF points) {
    // NaN and sizes below a point become one point; infinity is merely very large.
    const auto side = [](double v) { return v >= 1.0 ? std::min(v, 1e12) : 1.0; };
    double w = side(points.width());
    double h = side(points.height());
    const double factor =
        std::min({1.0, kMaximumSide / w, kMaximumSide / h, std::sqrt(kMaximumPixels / (w * h))});
    w = std::clamp(std::trunc(w * factor), 1.0, kMaximumSide);
    h = std::clamp(std::trunc(h * factor), 1.0, kMaximumSide);
    return {int(w), int(h)};
}

namespace {

QImage drawnInto(const QImage& source, QSizeF points) {
    if (source.isNull())
        return {};
    QImage bitmap(bitmapSizeForPoints(points), QImage::Format_RGBA8888_Premultiplied);
    if (bitmap.isNull())
        return {};
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(0.0, 0.0, bitmap.width(), bitmap.height()), source, QRectF(source.rect()));
    painter.end();
    return bitmap;
}

} // namespace

Colour colourFromHexString(QStringView strHex) {
    // White space at the end of the text cannot change the digits at its start, so only the start is
    // trimmed: trimming both ends would walk all of a long text.
    qsizetype start = 0;
    while (start < strHex.size() && strHex[start].isSpace())
        ++start;
    if (start < strHex.size() && strHex[start] == u'#')
        ++start;
    const quint32 v = scanHexInt(strHex, start);
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0, 1.0};
}

QString hexStringFromColour(const Colour& colour) {
    const uint v = (uint(componentByte(colour.red)) << 16) | (uint(componentByte(colour.green)) << 8) |
                   uint(componentByte(colour.blue));
    return QStringLiteral("#%1").arg(v, 6, 16, QLatin1Char('0'));
}

bool DialoogOK(const QString& strKusimus, const QString& strTekst) {
    return showWarningMessage(strKusimus, strTekst);
}

QImage TooKujutis(const DecodedImage& im) {
    // A file that records a resolution below 72 dpi would be enlarged; enlarging adds no detail
    // (drawing scales the bitmap into its box anyway) and a tiny recorded resolution would turn a
    // few bytes of file into hundreds of megabytes. So a bitmap never has more pixels a side than
    // its source, and it is shrunk by one factor for both sides, so that a picture recorded at
    // different resolutions across and down keeps its shape.
    QSizeF points = im.sizeInPoints;
    if (!im.pixels.isNull()) {
        const double w = im.pixels.width();
        const double h = im.pixels.height();
        const auto factor = [](double pixels, double points) {
            return points > pixels ? pixels / points : 1.0;
        };
        const double f = std::min(factor(w, points.width()), factor(h, points.height()));
        // The side that limits keeps exactly its pixels. The other is shrunk by the same factor, less
        // the rounding noise of the division, which truncation would turn from 100 into 99 pixels.
        const auto shrunk = [f](double side, double pixels) {
            const double v = side * f;
            const double whole = std::round(v);
            return std::min(std::abs(v - whole) <= 1e-9 * whole ? whole : v, pixels);
        };
        if (f < 1.0)
            points = QSizeF(shrunk(points.width(), w), shrunk(points.height(), h));
    }
    return drawnInto(im.pixels, points);
}

QImage TooKujutis(const QImage& bm) {
    return drawnInto(bm, QSizeF(bm.size()));
}
