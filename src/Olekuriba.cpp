#include "Olekuriba.h"

#include "platform/canvas.h"

#include <QPainter>

namespace {

// The message begins where a row number of six digits would end.
constexpr double kTeateX = 206;

} // namespace

Olekuriba::Olekuriba(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Olekuriba::Varskenda(qint64 nVeerg, qint64 nRida) {
    m_nVeerg = nVeerg;
    m_nRida = nRida;
    update();
}

void Olekuriba::NaitaTeadet(const QString& strTeade) {
    if (strTeade == m_strTeade)
        return;
    m_strTeade = strTeade;
    // The bar may be too narrow for all of it; the whole text is a hover away, and screen readers
    // get it as the bar's description.
    setToolTip(strTeade);
    setAccessibleDescription(strTeade);
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
    if (!m_strTeade.isEmpty()) {
        // What fits of the message, cut with an ellipsis, found by halving the length.
        const double fRuum = width() - kTeateX - 6;
        QString strTeade = m_strTeade;
        if (textSize(strTeade, font).width() > fRuum) {
            qsizetype nMahub = 0;
            qsizetype nEiMahu = strTeade.size();
            while (nEiMahu - nMahub > 1) {
                const qsizetype nKesk = nMahub + (nEiMahu - nMahub) / 2;
                if (textSize(m_strTeade.left(nKesk) + u'\u2026', font).width() <= fRuum)
                    nMahub = nKesk;
                else
                    nEiMahu = nKesk;
            }
            strTeade = m_strTeade.left(nMahub) + u'\u2026';
        }
        kirjuta(strTeade, kTeateX);
    }

    // The platform's light grey is two thirds of white. Drawn without antialiasing, the line fills
    // the top row of pixels instead of half-covering two.
    const double fHall = 2.0 / 3.0;
    canvas.setAntialiasing(false);
    canvas.strokeSegments({QLineF(0, 0, width(), 0)}, Colour{fHall, fHall, fHall, 1.0});
}
