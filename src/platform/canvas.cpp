#include "platform/canvas.h"

#include <QPainter>
#include <QPen>

namespace {

QPen linePen(const Colour& colour, LineDash dash) {
    QPen pen(colour.toQColor(), 1.0);
    // Flat caps keep each dash exactly five units long, as the pattern says.
    pen.setCapStyle(Qt::FlatCap);
    if (dash == LineDash::FiveOnFiveOff)
        pen.setDashPattern({5.0, 5.0});
    return pen;
}

} // namespace

Canvas::Canvas(QPainter& painter) : m_painter(painter) {
    // Shapes are antialiased unless a caller switches it off for crisp fills.
    m_painter.setRenderHint(QPainter::Antialiasing, true);
}

void Canvas::fillRect(const QRectF& rect, const Colour& colour) {
    m_painter.fillRect(rect, colour.toQColor());
}

void Canvas::strokeSegments(std::initializer_list<QLineF> segments, const Colour& colour, LineDash dash) {
    m_painter.save();
    m_painter.setPen(linePen(colour, dash));
    m_painter.setBrush(Qt::NoBrush);
    for (const QLineF& segment : segments)
        m_painter.drawLine(segment);
    m_painter.restore();
}

void Canvas::strokeRect(const QRectF& rect, const Colour& colour, LineDash dash) {
    m_painter.save();
    m_painter.setPen(linePen(colour, dash));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(rect);
    m_painter.restore();
}

void Canvas::drawImage(const QRectF& target, const QImage& image) {
    if (image.isNull() || target.isEmpty())
        return;
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter.drawImage(target, image, QRectF(image.rect()));
    m_painter.restore();
}

void Canvas::drawText(const QString& text, const QPointF& topLeft, const Font& font, const Colour& colour,
                      TextDecoration decoration) {
    if (font.isEmpty() || text.isEmpty())
        return;
    QFont qfont = font.referenceFontForDevice(m_painter.device());
    qfont.setUnderline(hasDecoration(decoration, TextDecoration::Underline));
    qfont.setStrikeOut(hasDecoration(decoration, TextDecoration::StrikeThrough));

    // The line box's height is the same for every string, so the empty one gives it without
    // shaping the text twice.
    const double baseline = topLeft.y() + textSize(QString(), font).height() + fontDescender(font);
    m_painter.save();
    m_painter.setFont(qfont);
    m_painter.setPen(colour.toQColor());
    m_painter.translate(topLeft.x(), baseline);
    // The glyphs come from the same reference font that measuring used, scaled to the real size.
    m_painter.scale(font.referenceScale(), font.referenceScale());
    m_painter.drawText(QPointF(0.0, 0.0), text);
    m_painter.restore();
}

void Canvas::setAntialiasing(bool on) {
    m_painter.setRenderHint(QPainter::Antialiasing, on);
}

void Canvas::save() {
    m_painter.save();
}

void Canvas::restore() {
    m_painter.restore();
}

void Canvas::translate(double dx, double dy) {
    m_painter.translate(dx, dy);
}

void Canvas::scale(double sx, double sy) {
    m_painter.scale(sx, sy);
}
