// The refresh after every change, scrolling the caret into view, focus, zoom and the visible area.

#include "tekst/Tekstiboks.h"

#include "tekst/SharedMeasurer.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QScrollBar>

#include <algorithm>
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

// The largest scroll position along each axis: the extent less the visible area.
QPointF maksKerimiskoht(QSizeF cUlatus, QSizeF cNahtav) {
    return QPointF(std::max(0.0, cUlatus.width() - cNahtav.width()),
                   std::max(0.0, cUlatus.height() - cNahtav.height()));
}

// A scroll bar holds an int. Up to this many points of scrolling it counts in points; beyond, in
// steps of as many points as it takes to stay within it. Half of what an int holds, so that Qt's
// sums of the range and a page step stay inside an int too.
constexpr double kRibaSuurim = double(1 << 30);
// What one step of a scroll bar's arrows moves, in points (three of them a notch of the wheel).
constexpr double kRibaRida = 20.0;

double ribaSamm(double fMaks) {
    return fMaks > kRibaSuurim ? fMaks / kRibaSuurim : 1.0;
}

int ribaVaartus(double fKoht, double fMaks) {
    const double fSamm = ribaSamm(fMaks);
    return int(std::clamp(std::round(fKoht / fSamm), 0.0, std::ceil(fMaks / fSamm)));
}

void seaRiba(QScrollBar& riba, double fKoht, double fMaks, double fNahtav) {
    const double fSamm = ribaSamm(fMaks);
    riba.setRange(0, int(std::ceil(fMaks / fSamm)));
    riba.setPageStep(std::max(1, int(std::min(std::round(fNahtav / fSamm), kRibaSuurim))));
    riba.setSingleStep(std::max(1, int(std::round(kRibaRida / fSamm))));
    riba.setValue(ribaVaartus(fKoht, fMaks));
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

QAbstractScrollArea* Tekstiboks::TooKerimisala() const {
    QWidget* viewport = parentWidget();
    auto* ala = viewport ? qobject_cast<QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
    return ala && ala->viewport() == viewport ? ala : nullptr;
}

void Tekstiboks::SeoKerimisribad() {
    QAbstractScrollArea* ala = TooKerimisala();
    if (ala == m_cSeotudKerimisala)
        return;
    if (m_cSeotudKerimisala) {
        m_cSeotudKerimisala->horizontalScrollBar()->disconnect(this);
        m_cSeotudKerimisala->verticalScrollBar()->disconnect(this);
        m_cSeotudKerimisala->viewport()->removeEventFilter(this);
    }
    m_cSeotudKerimisala = ala;
    if (!ala)
        return;
    // Scroll bars, wheel, touchpad and the scroll bars' keys all end in a change of a bar's value;
    // the view's own setting of the bars is told apart by m_bIseKerib.
    connect(ala->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int nVaartus) { KerimisribaLiikus(Qt::Horizontal, nVaartus); });
    connect(ala->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int nVaartus) { KerimisribaLiikus(Qt::Vertical, nVaartus); });
    ala->viewport()->installEventFilter(this);
    setGeometry(ala->viewport()->rect());
    SeaKerimisribad();
}

bool Tekstiboks::eventFilter(QObject* watched, QEvent* event) {
    // The view fills the visible area, and a new size of it gives the scroll bars new ranges.
    if (event->type() == QEvent::Resize && m_cSeotudKerimisala &&
        watched == m_cSeotudKerimisala->viewport()) {
        resize(m_cSeotudKerimisala->viewport()->size());
        SeaKerimisribad();
    }
    return QWidget::eventFilter(watched, event);
}

void Tekstiboks::SeaKerimisribad() {
    const QSizeF cNahtav = TooEmaSuurus();
    const QPointF ptMaks = maksKerimiskoht(TooUlatus(), cNahtav);
    m_ptKerimiskoht = QPointF(std::clamp(m_ptKerimiskoht.x(), 0.0, ptMaks.x()),
                              std::clamp(m_ptKerimiskoht.y(), 0.0, ptMaks.y()));
    QAbstractScrollArea* ala = m_cSeotudKerimisala;
    if (!ala)
        return;
    const bool bOli = m_bIseKerib;
    m_bIseKerib = true;
    seaRiba(*ala->horizontalScrollBar(), m_ptKerimiskoht.x(), ptMaks.x(), cNahtav.width());
    seaRiba(*ala->verticalScrollBar(), m_ptKerimiskoht.y(), ptMaks.y(), cNahtav.height());
    m_bIseKerib = bOli;
}

void Tekstiboks::KerimisribaLiikus(Qt::Orientation suund, int nVaartus) {
    if (m_bIseKerib || !m_cSeotudKerimisala)
        return;
    const bool bX = suund == Qt::Horizontal;
    const QPointF ptMaks = maksKerimiskoht(TooUlatus(), TooEmaSuurus());
    const double fMaks = bX ? ptMaks.x() : ptMaks.y();
    // The step is the range over a power of two, so the bar's end stands for the document's end
    // exactly.
    const double fKoht = std::clamp(double(nVaartus) * ribaSamm(fMaks), 0.0, fMaks);
    (bX ? m_ptKerimiskoht.rx() : m_ptKerimiskoht.ry()) = fKoht;
    scrollViewDidScroll();
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
    return m_ptKerimiskoht;
}

void Tekstiboks::SeaKerimiskoht(QPointF pt) {
    const QPointF ptVana = m_ptKerimiskoht;
    m_ptKerimiskoht = QPointF(std::isfinite(pt.x()) ? pt.x() : 0.0, std::isfinite(pt.y()) ? pt.y() : 0.0);
    SeaKerimisribad();
    if (m_ptKerimiskoht.x() != ptVana.x() || m_ptKerimiskoht.y() != ptVana.y())
        update();
}

QRectF Tekstiboks::TooNahtavRist() const {
    return QRectF(TooKerimiskoht(), TooEmaSuurus()).intersected(QRectF(QPointF(0, 0), TooUlatus()));
}

QPointF Tekstiboks::TooVaatePunkt(QPointF ptVidinas) const {
    return ptVidinas + m_ptKerimiskoht;
}

QPointF Tekstiboks::TooVidinaPunkt(QPointF ptVaates) const {
    return ptVaates - m_ptKerimiskoht;
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

    // The document's extent gives the scroll bars their ranges; the view stays as large as the
    // visible area.
    SeaKerimisribad();
    if (QAbstractScrollArea* ala = m_cSeotudKerimisala) {
        // A new range can bring or take away a scroll bar of the scroll area, which it decides in a
        // queued call; let that happen now, so that the scroll below counts with the visible area
        // as it will be (the viewport's new size sets the bars again, see eventFilter).
        const bool bOli = m_bIseKerib;
        m_bIseKerib = true;
        QCoreApplication::sendPostedEvents(ala, QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(ala, QEvent::LayoutRequest);
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
    TeataLigipaasule();
    update();
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
