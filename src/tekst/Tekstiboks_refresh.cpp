// The refresh after every change, scrolling the caret into view, focus, zoom and the visible area.

#include "tekst/Tekstiboks.h"

#include "tekst/SharedMeasurer.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The extent is counted in whole points, as a widget's size is. Beyond 2^53 a double no longer holds
// every whole number; a document laid out at an absurd zoom is shown cut off there.
constexpr double kSuurimUlatus = 9007199254740992.0;

double ulatus(double fMoot) {
    if (!(fMoot > 0.0))
        return 0.0;
    return std::min(std::ceil(fMoot), kSuurimUlatus);
}

// A widget cannot be larger than this; documents laid out at absurd zooms are shown cut off there.
constexpr double kSuurimMoot = QWIDGETSIZE_MAX;

int vaatesuurus(double fMoot) {
    if (!(fMoot > 0.0))
        return 0;
    return int(std::min(std::ceil(fMoot), kSuurimMoot));
}

// The scroll position moves in whole pixels; round toward the side that keeps the caret's slot
// inside the visible area.
double kerimiseSamm(double fUus, double fVana) {
    if (!std::isfinite(fUus))
        return fVana;
    return fUus < fVana ? std::floor(fUus) : std::ceil(fUus);
}

// The zoom as a whole number and "%", rounded as C's "%.0f" rounds: an exact half goes to the even
// neighbour (12.5 shows as 12%, 13.5 as 14%), where Qt's own formatting would round it up.
QString suumiTekst(double fSuum) {
    const int nPikkus = std::snprintf(nullptr, 0, "%.0f", fSuum);
    if (nPikkus <= 0)
        return QStringLiteral("%");
    std::string strArv(size_t(nPikkus) + 1, '\0');
    std::snprintf(strArv.data(), strArv.size(), "%.0f", fSuum);
    strArv.resize(size_t(nPikkus));
    return QString::fromLatin1(strArv) + QLatin1Char('%');
}

} // namespace

QScrollArea* Tekstiboks::TooKerimisala() const {
    QWidget* viewport = parentWidget();
    auto* ala = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    return ala && ala->widget() == this ? ala : nullptr;
}

void Tekstiboks::SeoKerimisribad() {
    QScrollArea* ala = TooKerimisala();
    if (ala == m_cSeotudKerimisala)
        return;
    if (m_cSeotudKerimisala) {
        m_cSeotudKerimisala->horizontalScrollBar()->disconnect(this);
        m_cSeotudKerimisala->verticalScrollBar()->disconnect(this);
    }
    m_cSeotudKerimisala = ala;
    if (!ala)
        return;
    // Scroll bars, wheel and touchpad all end in a change of the scroll bars' values; the view's
    // own scrolling and resizing are told apart by m_bIseKerib.
    auto kasutajaKeris = [this] {
        if (!m_bIseKerib)
            scrollViewDidScroll();
    };
    connect(ala->horizontalScrollBar(), &QScrollBar::valueChanged, this, kasutajaKeris);
    connect(ala->verticalScrollBar(), &QScrollBar::valueChanged, this, kasutajaKeris);
}

void Tekstiboks::SeaNahtavaAlaSuurus(std::optional<QSizeF> cSuurus) {
    m_cNahtavaAlaSuurus = cSuurus;
}

QSizeF Tekstiboks::TooUlatus() const {
    const QSizeF cEma = TooEmaSuurus();
    double fLaius = 2 * m_cServad.width() + m_fMaksReaLaius;
    double fKorgus = 2 * m_cServad.height() + m_fKoguKorgus;
    if (!(fLaius >= cEma.width()))
        fLaius = cEma.width();
    if (!(fKorgus >= cEma.height()))
        fKorgus = cEma.height();
    return QSizeF(ulatus(fLaius), ulatus(fKorgus));
}

QPointF Tekstiboks::TooKerimiskoht() const {
    if (QScrollArea* ala = TooKerimisala())
        return QPointF(ala->horizontalScrollBar()->value(), ala->verticalScrollBar()->value());
    return m_ptKerimiskoht;
}

void Tekstiboks::SeaKerimiskoht(QPointF pt) {
    const bool bOli = m_bIseKerib;
    m_bIseKerib = true;
    if (QScrollArea* ala = TooKerimisala()) {
        ala->horizontalScrollBar()->setValue(int(std::clamp(pt.x(), 0.0, kSuurimMoot)));
        ala->verticalScrollBar()->setValue(int(std::clamp(pt.y(), 0.0, kSuurimMoot)));
    } else {
        // Without a scroll area the position is kept here, held inside the view as a scroll bar would.
        const QSizeF cNahtav = TooEmaSuurus();
        const double fMaksX = std::max(0.0, width() - cNahtav.width());
        const double fMaksY = std::max(0.0, height() - cNahtav.height());
        m_ptKerimiskoht = QPointF(std::clamp(std::isfinite(pt.x()) ? pt.x() : 0.0, 0.0, fMaksX),
                                  std::clamp(std::isfinite(pt.y()) ? pt.y() : 0.0, 0.0, fMaksY));
    }
    m_bIseKerib = bOli;
}

QRectF Tekstiboks::TooNahtavRist() const {
    return QRectF(TooKerimiskoht(), TooEmaSuurus()).intersected(QRectF(0, 0, width(), height()));
}

void Tekstiboks::ValjastaPealkiri(const QString& strPealkiri) {
    m_strPealkiri = strPealkiri;
    if (m_cViewController)
        m_cViewController->NaitaPealkirja(strPealkiri);
}

void Tekstiboks::Varskenda(bool bKuvaKursor, bool bBlokeeri, bool bShiftAll) {
    SeoKerimisribad();

    if (!bBlokeeri && !bShiftAll)
        m_nShiftKursor = m_nKursor;

    m_strSuumiTekst = suumiTekst(m_fSuum);
    if (m_cViewController)
        m_cViewController->NaitaSuumi(m_strSuumiTekst);

    // The caret's slot in content coordinates (without the margins), found through the line starts
    // kept with the layout instead of a walk over every line.
    std::optional<QRectF> cKursor;
    if (const std::optional<qint64> nRida = LeiaRida(m_nKursor)) {
        const RIDA& rida = m_arrRIDA[size_t(*nRida)];
        const qint64 nVeerg = m_nKursor - m_arrReaAlgus[size_t(*nRida)];
        const ELEMENT& e = *rida.m_arrELEMENT[size_t(nVeerg)];
        const QPointF pos = e.m_ptPos.value_or(QPointF());
        cKursor = QRectF(pos.x(), m_arrReaY[size_t(*nRida)] + pos.y(), e.m_cSuurus ? e.laius() : 0.0,
                         rida.m_fKoguKorgus.value_or(0.0));
        m_nOlekVeerg = nVeerg + 1;
        m_nOlekRida = *nRida + 1;
        if (m_cViewController)
            m_cViewController->NaitaVeergRida(m_nOlekVeerg, m_nOlekRida);
    }

    const QSizeF cUlatus = TooUlatus();
    {
        const bool bOli = m_bIseKerib;
        m_bIseKerib = true;
        resize(vaatesuurus(cUlatus.width()), vaatesuurus(cUlatus.height()));
        // A new size can bring or take away a scroll bar of the scroll area, which it decides in a
        // queued call; let that happen now, so that the scroll below counts with the visible area
        // as it will be.
        if (QScrollArea* ala = TooKerimisala()) {
            QCoreApplication::sendPostedEvents(ala, QEvent::MetaCall);
            QCoreApplication::sendPostedEvents(ala, QEvent::LayoutRequest);
        }
        m_bIseKerib = bOli;
    }

    if (bKuvaKursor && cKursor) {
        const QSizeF cNahtav = TooEmaSuurus();
        const QPointF v = TooKerimiskoht();
        const double W = cNahtav.width() - 2 * m_cServad.width();
        const double H = cNahtav.height() - 2 * m_cServad.height();
        double X = v.x();
        if (cKursor->left() < X)
            X = cKursor->left();
        if (cKursor->right() - X > W)
            X = cKursor->right() - W;
        double Y = v.y();
        if (cKursor->top() < Y)
            Y = cKursor->top();
        if (cKursor->bottom() - Y > H)
            Y = cKursor->bottom() - H;
        SeaKerimiskoht(QPointF(kerimiseSamm(X, v.x()), kerimiseSamm(Y, v.y())));
    }

    PakuValikut();
    update(TooNahtavRist().toAlignedRect());
    if (m_cViewController)
        m_cViewController->Varskendatud();
}

void Tekstiboks::scrollViewDidScroll() {
    Varskenda(false, true, false);
}

void Tekstiboks::becomeFirstResponder() {
    m_bFookuses = true;
    Varskenda(false, true, false);
}

void Tekstiboks::resignFirstResponder() {
    m_bFookuses = false;
    Varskenda(false, true, false);
}

void Tekstiboks::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    becomeFirstResponder();
}

void Tekstiboks::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    resignFirstResponder();
}

void Tekstiboks::Suumi(double fUusSuum) {
    m_fSuum = fUusSuum;
    SharedMeasurer mootja(m_arrJooksevKiri, m_fSuum);
    for (const auto& loik : m_arrLOIK)
        for (const auto& e : loik->m_arrELEMENT)
            mootja.Mooda(*e);
    ReastaElemendid();
    Varskenda(true, true, false);
    if (window() != this)
        setFocus(Qt::OtherFocusReason);
}
