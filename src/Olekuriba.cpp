#include "Olekuriba.h"

#include "platform/canvas.h"

#include <QPainter>

Olekuriba::Olekuriba(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Olekuriba::Varskenda(qint64 nVeerg, qint64 nRida) {
    m_nVeerg = nVeerg;
    m_nRida = nRida;
    update();
}

QSize Olekuriba::sizeHint() const {
    return QSize(240, 26);
}

void Olekuriba::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Canvas canvas(painter);
    canvas.fillRect(QRectF(0, 0, width(), height()), Colour{0.7, 0.7, 0.7, 1.0});

    const Font font = systemFontOfSize(15.0);
    const auto kirjuta = [&](const QString& strTekst, double fX) {
        const double fKorgus = textSize(strTekst, font).height();
        canvas.drawText(strTekst, QPointF(fX, (height() - fKorgus) / 2), font, Colour::black());
    };
    kirjuta(QStringLiteral("Veerg: ") + QString::number(m_nVeerg), 6);
    kirjuta(QStringLiteral("Rida: ") + QString::number(m_nRida), 106);

    // The platform's light grey is two thirds of white. Drawn without antialiasing, the line fills
    // the top row of pixels instead of half-covering two.
    const double fHall = 2.0 / 3.0;
    canvas.setAntialiasing(false);
    canvas.strokeSegments({QLineF(0, 0, width(), 0)}, Colour{fHall, fHall, fHall, 1.0});
}
