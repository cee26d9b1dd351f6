// The caret and the selection: hit testing, the word at the caret, the mouse and the keys.

#include "tekst/Tekstiboks.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

bool onVahe(const ELEMENT* e) {
    return e && (e->m_TUUP == ELTUUP::TUHIK || e->m_TUUP == ELTUUP::TAB);
}

// An element's hit box: its slot in the line, as high as the whole line. An element that layout
// has not placed or measured counts as a point at the line's left edge.
struct Rist {
    double fVasak, fParem, fYlal, fAll;

    Rist(const ELEMENT* e, double fServX, double fReaYlal, double fReaKorgus) {
        const QPointF pos = e && e->m_ptPos ? *e->m_ptPos : QPointF();
        fVasak = fServX + pos.x();
        fParem = fVasak + (e && e->m_cSuurus ? e->laius() : 0.0);
        fYlal = fReaYlal + pos.y();
        fAll = fYlal + fReaKorgus;
    }
    // The left and top edges belong to the box, the right and bottom ones do not.
    bool sisaldab(QPointF pt) const {
        return fVasak <= pt.x() && pt.x() < fParem && fYlal <= pt.y() && pt.y() < fAll;
    }
    bool ribas(double y) const { return fYlal <= y && y <= fAll; }
};

// The nine keys that move the caret are the view's own also with Shift and Control held. With
// Alt or Meta they are left to the window's shortcuts first.
bool onLiikumisKlahv(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        break;
    default:
        return false;
    }
    const Qt::KeyboardModifiers lubatud = Qt::ShiftModifier | Qt::ControlModifier | Qt::KeypadModifier;
    return !(event.modifiers() & ~lubatud);
}

} // namespace

Tekstiboks::KURSORID Tekstiboks::TooKursorid() const {
    KURSORID r;
    if (m_nKursor != m_nShiftKursor) {
        r.m_n1 = std::min(m_nKursor, m_nShiftKursor);
        r.m_n2 = std::max(m_nKursor, m_nShiftKursor);
        return r;
    }
    const std::optional<qint64> nRida = LeiaRida(m_nKursor);
    if (!nRida)
        return r;
    const RIDA& rida = m_arrRIDA[size_t(*nRida)];
    const qint64 s = m_arrReaAlgus[size_t(*nRida)];
    const qint64 n = qint64(rida.m_arrELEMENT.size());
    const qint64 j = m_nKursor - s;
    // Only spaces and tabs end a word, and the element at the caret is part of it whatever it is.
    r.m_n1 = s;
    for (qint64 p = j - 1; p >= 0; --p) {
        if (onVahe(rida.m_arrELEMENT[size_t(p)])) {
            r.m_n1 = s + p + 1;
            break;
        }
    }
    // A word that runs to the line's end stops before the line's last element, so that a double
    // click never takes a paragraph end.
    r.m_n2 = s + n - 1;
    for (qint64 p = j + 1; p < n; ++p) {
        if (onVahe(rida.m_arrELEMENT[size_t(p)])) {
            r.m_n2 = s + p;
            break;
        }
    }
    return r;
}

qint64 Tekstiboks::TooKursorPunktist(QPointF ptPunkt) const {
    const size_t nRead = m_arrRIDA.size();
    if (!m_bReadJarjestuses || m_arrReaAlgus.size() != nRead || m_arrReaY.size() != nRead)
        return TooKursorPunktistKoikRead(ptPunkt);

    // With the lines ordered and apart, only the first line whose bottom is at or below the point can
    // hold it. Every line above it lies wholly above the point, and every line below wholly below.
    const auto k = size_t(EsimeneRidaAlatesY(ptPunkt.y()));
    qint64 nEnne = 0;
    if (k < nRead)
        nEnne = m_arrReaAlgus[k];
    else if (nRead > 0)
        nEnne = m_arrReaAlgus[nRead - 1] + qint64(m_arrRIDA[nRead - 1].m_arrELEMENT.size());
    // Nothing closer found: the last element of the lines above the point.
    const qint64 nTulemus = nEnne > 0 ? nEnne - 1 : 0;
    if (k >= nRead)
        return nTulemus;

    const RIDA& rida = m_arrRIDA[k];
    const double fReaYlal = m_cServad.height() + m_arrReaY[k];
    const double fReaKorgus = rida.m_fKoguKorgus.value_or(0.0);
    const qint64 n = qint64(rida.m_arrELEMENT.size());
    for (qint64 j = 0; j < n; ++j) {
        if (Rist(rida.m_arrELEMENT[size_t(j)], m_cServad.width(), fReaYlal, fReaKorgus).sisaldab(ptPunkt))
            return nEnne + j;
    }
    if (n > 0) {
        const Rist esimene(rida.m_arrELEMENT.front(), m_cServad.width(), fReaYlal, fReaKorgus);
        if (esimene.ribas(ptPunkt.y()) && ptPunkt.x() <= esimene.fVasak)
            return nEnne;
        const Rist viimane(rida.m_arrELEMENT.back(), m_cServad.width(), fReaYlal, fReaKorgus);
        if (viimane.ribas(ptPunkt.y()) && viimane.fParem <= ptPunkt.x())
            return nEnne + n - 1;
    }
    return nTulemus;
}

qint64 Tekstiboks::TooKursorPunktistKoikRead(QPointF ptPunkt) const {
    const double fVahe = TooReaVahe();
    // Pass 1: the element whose box holds the point.
    qint64 k = 0;
    double fY = 0.0;
    for (const RIDA& rida : m_arrRIDA) {
        const double fReaKorgus = rida.m_fKoguKorgus.value_or(0.0);
        for (const ELEMENT* e : rida.m_arrELEMENT) {
            if (Rist(e, m_cServad.width(), m_cServad.height() + fY, fReaKorgus).sisaldab(ptPunkt))
                return k;
            ++k;
        }
        fY += fReaKorgus + fVahe;
    }
    // Pass 2: left of a line's first element or right of its last one, with both edges of the line
    // counted; else the last element of the lines wholly above the point.
    qint64 nTulemus = 0;
    k = 0;
    fY = 0.0;
    for (const RIDA& rida : m_arrRIDA) {
        const double fReaKorgus = rida.m_fKoguKorgus.value_or(0.0);
        const size_t n = rida.m_arrELEMENT.size();
        for (size_t j = 0; j < n; ++j, ++k) {
            const Rist rist(rida.m_arrELEMENT[j], m_cServad.width(), m_cServad.height() + fY, fReaKorgus);
            if (rist.ribas(ptPunkt.y())) {
                if (j == 0 && ptPunkt.x() <= rist.fVasak)
                    return k;
                if (j == n - 1 && rist.fParem <= ptPunkt.x())
                    return k;
            } else if (rist.fAll < ptPunkt.y()) {
                nTulemus = k;
            }
        }
        fY += fReaKorgus + fVahe;
    }
    return nTulemus;
}

// --- the mouse ---

QPointF Tekstiboks::TooVaatePunkt(const QMouseEvent& event) const {
    return TooVaatePunkt(event.position());
}

void Tekstiboks::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        mouseDown(*event, 1);
    else if (event->button() == Qt::RightButton)
        rightMouseDown(*event);
    else
        return QWidget::mousePressEvent(event);
    event->accept();
}

void Tekstiboks::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second right press is a press like the first; a second press of another button does nothing
    // here, as its first did not.
    if (event->button() == Qt::LeftButton)
        mouseDown(*event, 2);
    else if (event->button() == Qt::RightButton)
        rightMouseDown(*event);
    else
        return QWidget::mouseDoubleClickEvent(event);
    event->accept();
}

void Tekstiboks::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    mouseDragged(*event);
    event->accept();
}

void Tekstiboks::mouseDown(const QMouseEvent& event, int nKlikiArv) {
    setFocus(Qt::MouseFocusReason);
    const qint64 k = TooKursorPunktist(TooVaatePunkt(event));
    const bool bShiftAll = event.modifiers() & Qt::ShiftModifier;
    m_nKursor = k;
    if (!bShiftAll)
        m_nShiftKursor = k;
    Varskenda(true, false, bShiftAll);
    // A second click takes the word at the caret, or with Shift the selection made by the first.
    if (nKlikiArv == 2) {
        const KURSORID r = TooKursorid();
        m_nKursor = r.m_n2;
        m_nShiftKursor = r.m_n1;
        Varskenda(true, true, false);
    }
}

void Tekstiboks::mouseDragged(const QMouseEvent& event) {
    m_nKursor = TooKursorPunktist(TooVaatePunkt(event));
    Varskenda(true, true, false);
}

void Tekstiboks::rightMouseDown(const QMouseEvent& event) {
    setFocus(Qt::MouseFocusReason);
    const qint64 k = TooKursorPunktist(TooVaatePunkt(event));
    // Both ends count, so that a right click just after the selection keeps it too.
    if (std::min(m_nKursor, m_nShiftKursor) <= k && k <= std::max(m_nKursor, m_nShiftKursor))
        return;
    m_nKursor = k;
    m_nShiftKursor = k;
    Varskenda(true, false, false);
}

// --- the keys ---

bool Tekstiboks::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claiming a key here keeps a window shortcut from taking it; every other key stays
        // available to the window's shortcuts (copy, select all, open, find).
        if (onLiikumisKlahv(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QWidget::event(event);
    case QEvent::KeyPress:
        // Straight to the handler: Tab and Backtab change nothing in the view rather than moving
        // the focus on.
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    case QEvent::ParentChange:
        // Moved into a scroll area's viewport (or out of one): fill it and drive its scroll bars.
        SeoKerimisribad();
        return QWidget::event(event);
    default:
        return QWidget::event(event);
    }
}

void Tekstiboks::keyPressEvent(QKeyEvent* event) {
    const bool bShiftAll = event->modifiers() & Qt::ShiftModifier;
    const bool bCtrlAll = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        KlahvLeft(bShiftAll);
        break;
    case Qt::Key_Right:
        KlahvRight(bShiftAll);
        break;
    case Qt::Key_Down:
        KlahvDown(bShiftAll, bCtrlAll);
        break;
    case Qt::Key_Up:
        KlahvUp(bShiftAll, bCtrlAll);
        break;
    case Qt::Key_Home:
        KlahvHome(bShiftAll, bCtrlAll);
        break;
    case Qt::Key_End:
        KlahvEnd(bShiftAll, bCtrlAll);
        break;
    case Qt::Key_Escape:
        KlahvEscape();
        break;
    case Qt::Key_PageUp:
        KlahvPageUp(bShiftAll, bCtrlAll);
        break;
    case Qt::Key_PageDown:
        KlahvPageDown(bShiftAll, bCtrlAll);
        break;
    default:
        // The document cannot be edited: every other key is taken and does nothing.
        break;
    }
    event->accept();
}

void Tekstiboks::KlahvLeft(bool bShiftAll) {
    // At the start nothing happens at all: the selection stays and the view does not scroll.
    if (m_nKursor <= 0)
        return;
    --m_nKursor;
    Varskenda(true, false, bShiftAll);
}

void Tekstiboks::KlahvRight(bool bShiftAll) {
    if (m_nKursor >= TooMaksKursor() - 1)
        return;
    ++m_nKursor;
    Varskenda(true, false, bShiftAll);
}

void Tekstiboks::KlahvHome(bool bShiftAll, bool bCtrlAll) {
    if (bCtrlAll) {
        m_nKursor = 0;
    } else if (const std::optional<qint64> nRida = LeiaRida(m_nKursor)) {
        m_nKursor = m_arrReaAlgus[size_t(*nRida)];
    } else {
        return;
    }
    Varskenda(true, false, bShiftAll);
}

void Tekstiboks::KlahvEnd(bool bShiftAll, bool bCtrlAll) {
    if (bCtrlAll) {
        m_nKursor = std::max<qint64>(0, TooMaksKursor() - 1);
    } else if (const std::optional<qint64> nRida = LeiaRida(m_nKursor)) {
        m_nKursor = m_arrReaAlgus[size_t(*nRida)] + qint64(m_arrRIDA[size_t(*nRida)].m_arrELEMENT.size()) - 1;
    } else {
        return;
    }
    Varskenda(true, false, bShiftAll);
}

void Tekstiboks::KlahvEscape() {
    m_nShiftKursor = m_nKursor;
    Varskenda(true, false, false);
}

void Tekstiboks::KlahvUp(bool bShiftAll, bool) {
    LiiguReale(ReaSamm::Ules, bShiftAll);
}

void Tekstiboks::KlahvDown(bool bShiftAll, bool) {
    LiiguReale(ReaSamm::Alla, bShiftAll);
}

void Tekstiboks::KlahvPageUp(bool bShiftAll, bool) {
    LiiguReale(ReaSamm::LeheUles, bShiftAll);
}

void Tekstiboks::KlahvPageDown(bool bShiftAll, bool) {
    LiiguReale(ReaSamm::LeheAlla, bShiftAll);
}

void Tekstiboks::LiiguReale(ReaSamm samm, bool bShiftAll) {
    const qint64 nRead = std::min<qint64>(qint64(m_arrRIDA.size()), qint64(m_arrReaAlgus.size()));
    const bool bUles = samm == ReaSamm::Ules || samm == ReaSamm::LeheUles;
    const qint64 nPiir = bUles ? 0 : nRead - 1;
    qint64 t = nPiir;
    // No horizontal place is remembered between presses: every move starts from the centre of the
    // element at the caret.
    double fX = 0.0;
    if (const std::optional<qint64> nRida = LeiaRida(m_nKursor)) {
        const qint64 i = *nRida;
        const RIDA& rida = m_arrRIDA[size_t(i)];
        const ELEMENT* e = rida.m_arrELEMENT[size_t(m_nKursor - m_arrReaAlgus[size_t(i)])];
        if (e && e->m_ptPos && e->m_cSuurus)
            fX = e->m_ptPos->x() + e->laius() / 2;
        switch (samm) {
        case ReaSamm::Ules:
            t = i >= 1 ? i - 1 : 0;
            break;
        case ReaSamm::Alla:
            t = i + 1 <= nRead - 1 ? i + 1 : nRead - 1;
            break;
        case ReaSamm::LeheUles:
        case ReaSamm::LeheAlla: {
            // Every step counts the height of the caret's line and one gap, whatever line it passes.
            t = i;
            const double d = rida.m_fKoguKorgus.value_or(0.0) + TooReaVahe();
            const double H = TooAknaKorgus();
            const qint64 nSamm = bUles ? -1 : 1;
            if (!(0.0 <= H)) {
                // Not even the first step: the page is less than nothing.
            } else if (d <= 0.0 || H / d >= double(nRead) + 2.0) {
                // The page holds more steps than there are lines (every step, when they add
                // nothing): the steps end at the first or the last line.
                t = nPiir;
            } else {
                double fH = 0.0;
                while (t != nPiir && fH <= H) {
                    t += nSamm;
                    fH += d;
                }
            }
            break;
        }
        }
    }

    // A line without elements (a paragraph that has none) has no place for the caret.
    if (0 <= t && t < nRead && !m_arrRIDA[size_t(t)].m_arrELEMENT.empty()) {
        // The element under fX, both of its edges included, so that a boundary takes the left one;
        // without one, the line's last element when the line ends left of fX, else its first.
        const RIDA& rida = m_arrRIDA[size_t(t)];
        const qint64 s = m_arrReaAlgus[size_t(t)];
        const qint64 n = qint64(rida.m_arrELEMENT.size());
        qint64 nUus = s;
        bool bLeitud = false;
        for (qint64 j = 0; j < n && !bLeitud; ++j) {
            const ELEMENT* e = rida.m_arrELEMENT[size_t(j)];
            const double fVasak = e && e->m_ptPos ? e->m_ptPos->x() : 0.0;
            const double fParem = fVasak + (e && e->m_cSuurus ? e->laius() : 0.0);
            nUus = s;
            if (fVasak <= fX && fX <= fParem) {
                nUus = s + j;
                bLeitud = true;
            } else if (fParem < fX) {
                nUus = s + j;
            }
        }
        m_nKursor = nUus;
    }
    Varskenda(true, false, bShiftAll);
}
