#include "ViewController.h"

#include "Olekuriba.h"
#include "WindowController.h"
#include "platform/progress.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>

ViewController::ViewController(QWidget* parent) : QWidget(parent) {
    auto* paigutus = new QVBoxLayout(this);
    paigutus->setContentsMargins(0, 0, 0, 0);
    paigutus->setSpacing(0);

    // The document view fills the area's viewport and drives the scroll bars itself.
    m_cKerimisala = new QAbstractScrollArea(this);
    m_cKerimisala->setFrameShape(QFrame::NoFrame);
    m_cKerimisala->setBackgroundRole(QPalette::Base);
    // The vertical bar stays so that the content width does not change when the document grows
    // past the window's height; an appearing bar would re-break the lines and could undo itself.
    m_cKerimisala->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_cTekstiboks = new Tekstiboks(m_cKerimisala->viewport());
    m_cTekstiboks->m_cViewController = this;
    // A document that takes a while to open shows its progress over the window and can be cancelled;
    // the report lives as long as the one opening that asked for it.
    m_cTekstiboks->m_fnLooEdenemine = [this] {
        auto aruanne = std::make_shared<ProgressReport>(window(), QStringLiteral("Avan dokumenti…"));
        return Tekstiboks::Edenemine([aruanne](double fValmis) { return aruanne->report(fValmis); });
    };
    m_cKerimisala->viewport()->installEventFilter(this);
    m_cTekstiboks->installEventFilter(this);
    paigutus->addWidget(m_cKerimisala, 1);

    m_cOlekuriba = new Olekuriba(this);
    paigutus->addWidget(m_cOlekuriba);

    setFocusProxy(m_cTekstiboks);
    resize(900, 700);
}

ViewController::~ViewController() {
    if (m_cTekstiboks)
        m_cTekstiboks->m_cViewController = nullptr;
}

void ViewController::NaitaVeergRida(qint64 nVeerg, qint64 nRida) {
    if (m_cOlekuriba)
        m_cOlekuriba->Varskenda(nVeerg, nRida);
}

void ViewController::NaitaSuumi(const QString& strSuum) {
    auto* aken = qobject_cast<WindowController*>(window());
    // Writing the same text again would move the text cursor of a user who is typing there.
    if (aken && aken->m_cSuumiLiit && aken->m_cSuumiLiit->currentText() != strSuum)
        aken->m_cSuumiLiit->setEditText(strSuum);
}

void ViewController::Varskendatud() {
    UuendaLeiuSilti();
    emit varskendatud();
}

void ViewController::SeoOtsingBoks(QLineEdit* cOtsingBoks, QLabel* cLeiuSilt) {
    m_cOtsingBoks = cOtsingBoks;
    m_cLeiuSilt = cLeiuSilt;
    // Return searches for the whole text, also an empty one (which finds nothing, and says so), and
    // then counts its occurrences.
    connect(cOtsingBoks, &QLineEdit::returnPressed, this, [this] {
        if (!m_cOtsingBoks || !m_cTekstiboks)
            return;
        m_cTekstiboks->Otsi(m_cOtsingBoks->text());
        m_cTekstiboks->LoendaLeiud(m_cOtsingBoks->text());
        UuendaLeiuSilti();
    });
    // A count belongs to the text it was made for.
    connect(cOtsingBoks, &QLineEdit::textChanged, this, &ViewController::UuendaLeiuSilti);
    // The field takes Return with any modifier for itself; Shift+Return is caught before it.
    cOtsingBoks->installEventFilter(this);
    UuendaLeiuSilti();
}

void ViewController::OtsiJargmine() {
    if (!m_cOtsingBoks || !m_cTekstiboks)
        return;
    if (m_cOtsingBoks->text().isEmpty())
        return FookusOtsingule();
    m_cTekstiboks->OtsiJargmine(m_cOtsingBoks->text());
    UuendaLeiuSilti();
}

void ViewController::OtsiEelmine() {
    if (!m_cOtsingBoks || !m_cTekstiboks)
        return;
    if (m_cOtsingBoks->text().isEmpty())
        return FookusOtsingule();
    m_cTekstiboks->OtsiEelmine(m_cOtsingBoks->text());
    UuendaLeiuSilti();
}

void ViewController::UuendaLeiuSilti() {
    if (!m_cLeiuSilt)
        return;
    QString strSilt;
    if (m_cOtsingBoks && m_cTekstiboks && m_cTekstiboks->OnLoendatud(m_cOtsingBoks->text())) {
        // With none of the occurrences selected the number is a dash; with none at all, 0.
        const qint64 nArv = m_cTekstiboks->TooLeidudeArv();
        const qint64 nNumber = m_cTekstiboks->TooLeiuNumber();
        strSilt = QStringLiteral("%1 / %2")
                      .arg(nNumber > 0 || nArv == 0 ? QString::number(nNumber) : QStringLiteral("\u2013"))
                      .arg(nArv);
    }
    if (m_cLeiuSilt->text() != strSilt)
        m_cLeiuSilt->setText(strSilt);
}

void ViewController::JalgiFaili() {
    if (m_cTekstiboks)
        m_cJalgija.watch(m_cTekstiboks->m_strFailinimi);
    if (m_cOlekuriba)
        m_cOlekuriba->NaitaTeadet({});
}

void ViewController::LaadiUuesti(Laadimine laadimine) {
    if (!m_cTekstiboks || m_cTekstiboks->m_strFailinimi.isEmpty())
        return;
    const QString strViga = m_cTekstiboks->LaadiUuesti();
    if (!m_cOlekuriba)
        return;
    if (strViga.isEmpty())
        m_cOlekuriba->NaitaTeadet({});
    else if (laadimine == Laadimine::Muutus)
        m_cOlekuriba->NaitaTeadet(QStringLiteral("Fail muutus, kuid seda ei saanud uuesti lugeda: ") +
                                  strViga);
    else
        m_cOlekuriba->NaitaTeadet(QStringLiteral("Faili ei saanud uuesti lugeda: ") + strViga);
}

void ViewController::FookusOtsingule() {
    if (!m_cOtsingBoks)
        return;
    m_cOtsingBoks->setFocus(Qt::ShortcutFocusReason);
    m_cOtsingBoks->selectAll();
}

void ViewController::NaitaPealkirja(const QString& strPealkiri) {
    window()->setWindowTitle(strPealkiri);
}

void ViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_bNaidatud && m_cTekstiboks) {
        m_bNaidatud = true;
        m_cTekstiboks->ReastaElemendid();
        m_cTekstiboks->Varskenda(true, false, false);
    }
}

bool ViewController::RattaSuum(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    auto* aken = qobject_cast<WindowController*>(window());
    if (!aken)
        return false;
    const int nDelta = event->angleDelta().y();
    // A turn back the other way starts afresh instead of first paying off what the other way left.
    if ((nDelta > 0 && m_nRattaJaak < 0) || (nDelta < 0 && m_nRattaJaak > 0))
        m_nRattaJaak = 0;
    m_nRattaJaak += nDelta;
    // One notch of a mouse wheel is 120.
    while (m_nRattaJaak >= 120) {
        m_nRattaJaak -= 120;
        aken->SuumiSamm(1);
    }
    while (m_nRattaJaak <= -120) {
        m_nRattaJaak += 120;
        aken->SuumiSamm(-1);
    }
    event->accept();
    return true;
}

bool ViewController::eventFilter(QObject* watched, QEvent* event) {
    // The event's type comes first: the field also sends events while it is being destroyed, when
    // it is no longer a QLineEdit that the pointer to it could be read as.
    if (event->type() == QEvent::KeyPress && m_cOtsingBoks && watched == m_cOtsingBoks) {
        const auto* klahv = static_cast<QKeyEvent*>(event);
        if ((klahv->key() == Qt::Key_Return || klahv->key() == Qt::Key_Enter) &&
            (klahv->modifiers() & Qt::ShiftModifier)) {
            OtsiEelmine();
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && m_cKerimisala &&
        (watched == m_cTekstiboks || watched == m_cKerimisala->viewport()) &&
        RattaSuum(static_cast<QWheelEvent*>(event)))
        return true;
    if (m_cKerimisala && watched == m_cKerimisala->viewport() && event->type() == QEvent::Resize &&
        m_cTekstiboks) {
        // Only a new width re-breaks the lines; a new height needs only the refresh.
        const int nLaius = m_cKerimisala->viewport()->width();
        if (nLaius != m_nViimaneLaius) {
            m_nViimaneLaius = nLaius;
            m_cTekstiboks->ReastaElemendid();
        }
        m_cTekstiboks->Varskenda(false, true, false);
    }
    return QWidget::eventFilter(watched, event);
}

void ViewController::SeaNahtavaAla(QSize cSuurus) {
    // The minimum sizes of the window (menu bar, toolbar, status bar) and of the scroll area (room
    // for both scroll bars) would keep the visible area from getting smaller than some tens of
    // pixels; a visible area as small as one pixel is asked for exactly.
    QWidget* aken = window();
    aken->setMinimumSize(1, 1);
    m_cKerimisala->setMinimumSize(1, 1);
    // The frame around the viewport is whatever the style makes it, so the window is resized until
    // the viewport has exactly the size asked for. An empty viewport only tells that a scroll bar
    // which came took all there was, so that side grows by the bar's extent too; the next round
    // settles the rest.
    const int nRiba = m_cKerimisala->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_cKerimisala);
    const auto vahe = [nRiba](int nSiht, int nNahtav) {
        return nSiht - nNahtav + (nNahtav <= 0 ? nRiba : 0);
    };
    QWidget* viewport = m_cKerimisala->viewport();
    const auto muuda = [&](QSize cVahe) {
        aken->resize(aken->size() + cVahe);
        if (aken->layout())
            aken->layout()->activate();
        if (layout())
            layout()->activate();
    };
    // The width first: the heights of the menu bar and the toolbar depend on it (a narrow menu bar
    // wraps).
    for (int nKord = 0; nKord < 8 && viewport->width() != cSuurus.width(); ++nKord)
        muuda(QSize(vahe(cSuurus.width(), viewport->width()), 0));
    for (int nKord = 0; nKord < 8 && viewport->height() != cSuurus.height(); ++nKord)
        muuda(QSize(0, vahe(cSuurus.height(), viewport->height())));
}
