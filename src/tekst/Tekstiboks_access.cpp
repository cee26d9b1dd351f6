// Screen readers: the document view's text, caret, selection and character boxes through Qt's
// accessibility interfaces, and the events that let a screen reader follow the caret.

#include "tekst/Tekstiboks.h"

#include "platform/accessibility.h"
#include "tekst/ELMARK.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <climits>

namespace {

// Runs longer than this place a character by its share of the run's width instead of measuring the
// text before it, so that a box costs the same in a run of any length.
constexpr qsizetype kMootmiseMaksPikkus = 4096;

// The piece of the text that stands for one element.
QString tekstiTukk(const ELEMENT& e) {
    switch (e.m_TUUP.value_or(ELTUUP::MARK)) {
    case ELTUUP::MARK:
        return static_cast<const ELMARK&>(e).m_strTekst;
    case ELTUUP::ENTER:
        return QStringLiteral("\n");
    case ELTUUP::TAB:
        return QStringLiteral("\t");
    case ELTUUP::TUHIK:
        return QStringLiteral(" ");
    case ELTUUP::PILT:
        return QStringLiteral("\ufffc");
    }
    return {};
}

qsizetype tukiPikkus(const ELEMENT& e) {
    if (e.m_TUUP == ELTUUP::MARK)
        return static_cast<const ELMARK&>(e).m_strTekst.size();
    return 1;
}

int kohtInt(qint64 n) {
    return int(std::clamp<qint64>(n, INT_MIN, INT_MAX));
}

// A stretch of the document's text, for Qt's own rules of characters, words, sentences and
// paragraphs: applied to the few lines or paragraphs around an offset instead of to the whole
// document, they cost what those lines cost.
class TekstiLoik : public QAccessibleTextInterface {
public:
    TekstiLoik(QString strTekst, int nKursor) : m_strTekst(std::move(strTekst)), m_nKursor(nKursor) {}

    void selection(int, int* nAlgus, int* nLopp) const override { *nAlgus = *nLopp = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return m_nKursor; }
    void setCursorPosition(int) override {}
    QString text(int nAlgus, int nLopp) const override { return m_strTekst.mid(nAlgus, nLopp - nAlgus); }
    int characterCount() const override { return int(m_strTekst.size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* nAlgus, int* nLopp) const override {
        *nAlgus = *nLopp = -1;
        return {};
    }

private:
    QString m_strTekst;
    int m_nKursor;
};

enum class Suund { Enne, Juures, Parast };

class TekstiboksiLigipaas : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TekstiboksiLigipaas(Tekstiboks* vaade) : QAccessibleWidget(vaade, QAccessible::EditableText) {}

    // The widget's texts (its name, description) and the document's text share the name text.
    using QAccessibleWidget::text;

    void* interface_cast(QAccessible::InterfaceType tuup) override {
        if (tuup == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(tuup);
    }

    QAccessible::State state() const override {
        QAccessible::State olek = QAccessibleWidget::state();
        // The text can be read and selected but never changed.
        olek.readOnly = true;
        olek.editable = false;
        olek.multiLine = true;
        olek.selectableText = true;
        return olek;
    }

    // --- the text interface ---

    void selection(int nValik, int* nAlgus, int* nLopp) const override {
        *nAlgus = *nLopp = 0;
        const Tekstiboks& t = vaade();
        if (nValik != 0 || t.m_nKursor == t.m_nShiftKursor)
            return;
        *nAlgus = kohtInt(t.TooTekstiKoht(std::min(t.m_nKursor, t.m_nShiftKursor)));
        *nLopp = kohtInt(t.TooTekstiKoht(std::max(t.m_nKursor, t.m_nShiftKursor)));
    }
    int selectionCount() const override { return vaade().m_nKursor != vaade().m_nShiftKursor ? 1 : 0; }
    void addSelection(int nAlgus, int nLopp) override { setSelection(0, nAlgus, nLopp); }
    void removeSelection(int nValik) override {
        if (nValik == 0)
            vaade().Varskenda(true, false, false);
    }
    void setSelection(int nValik, int nAlgus, int nLopp) override {
        if (nValik != 0)
            return;
        Tekstiboks& t = vaade();
        const qint64 nViimane = std::max<qint64>(0, t.TooMaksKursor() - 1);
        // The selection takes every element a character of the range belongs to.
        t.m_nShiftKursor = t.TooElementTekstist(std::min(nAlgus, nLopp));
        t.m_nKursor = std::min(elementAlates(std::max(nAlgus, nLopp)), nViimane);
        t.Varskenda(true, true, false);
    }
    int cursorPosition() const override { return kohtInt(vaade().TooTekstiKoht(vaade().m_nKursor)); }
    void setCursorPosition(int nKoht) override {
        Tekstiboks& t = vaade();
        t.m_nKursor = t.TooElementTekstist(nKoht);
        t.Varskenda(true, false, false);
    }
    QString text(int nAlgus, int nLopp) const override { return vaade().TooTekst(nAlgus, nLopp); }
    int characterCount() const override { return kohtInt(vaade().TooTekstiPikkus()); }

    QRect characterRect(int nKoht) const override {
        const Tekstiboks& t = vaade();
        if (nKoht < 0 || nKoht >= t.TooTekstiPikkus())
            return {};
        const QRectF r = t.TooTaheRist(nKoht);
        if (r.isNull())
            return {};
        const QPointF ptVasak = widget()->mapToGlobal(t.TooVidinaPunkt(r.topLeft()));
        const QPointF ptParem = widget()->mapToGlobal(t.TooVidinaPunkt(r.bottomRight()));
        return QRectF(ptVasak, ptParem).toAlignedRect();
    }

    int offsetAtPoint(const QPoint& pt) const override {
        const Tekstiboks& t = vaade();
        const QPoint ptVidin = widget()->mapFromGlobal(pt);
        if (!widget()->rect().contains(ptVidin))
            return -1;
        return kohtInt(t.TooKohtPunktist(t.TooVaatePunkt(QPointF(ptVidin))));
    }

    void scrollToSubstring(int nAlgus, int) override {
        Tekstiboks& t = vaade();
        const QRectF r =
            t.TooTaheRist(std::min<qint64>(nAlgus, std::max<qint64>(0, t.TooTekstiPikkus() - 1)));
        if (r.isNull() || t.TooNahtavRist().contains(r))
            return;
        t.SeaKerimiskoht(QPointF(r.left() - t.m_cServad.width(), r.top() - t.m_cServad.height()));
        t.Varskenda(false, true, false);
    }

    QString attributes(int nKoht, int* nAlgus, int* nLopp) const override {
        return vaade().TooTekstiOmadused(nKoht, nAlgus, nLopp);
    }

    QString textBeforeOffset(int nKoht, QAccessible::TextBoundaryType tuup, int* nAlgus,
                             int* nLopp) const override {
        return tekstPiiril(Suund::Enne, nKoht, tuup, nAlgus, nLopp);
    }
    QString textAtOffset(int nKoht, QAccessible::TextBoundaryType tuup, int* nAlgus,
                         int* nLopp) const override {
        return tekstPiiril(Suund::Juures, nKoht, tuup, nAlgus, nLopp);
    }
    QString textAfterOffset(int nKoht, QAccessible::TextBoundaryType tuup, int* nAlgus,
                            int* nLopp) const override {
        return tekstPiiril(Suund::Parast, nKoht, tuup, nAlgus, nLopp);
    }

private:
    Tekstiboks& vaade() const { return *static_cast<Tekstiboks*>(widget()); }

    // The first element that begins at or after the offset.
    qint64 elementAlates(qint64 nKoht) const {
        const Tekstiboks& t = vaade();
        const qint64 k = t.TooElementTekstist(nKoht);
        return t.TooTekstiKoht(k) < nKoht ? k + 1 : k;
    }

    QString tekstPiiril(Suund suund, int nKoht, QAccessible::TextBoundaryType tuup, int* nAlgus,
                        int* nLopp) const {
        *nAlgus = *nLopp = -1;
        const Tekstiboks& t = vaade();
        const qint64 nPikkus = t.TooTekstiPikkus();
        qint64 nSiin = nKoht;
        if (nKoht == -1)
            nSiin = nPikkus;
        else if (nKoht == -2)
            nSiin = cursorPosition();
        if (nSiin < 0 || nSiin > nPikkus)
            return {};

        // Lines are the laid-out lines, as the caret moves over them with Up and Down.
        const std::optional<qint64> nRida = t.LeiaRida(t.TooElementTekstist(nSiin));
        if (!nRida)
            return {};
        const qint64 nRead = qint64(t.m_arrRIDA.size());
        const auto reaAlgus = [&](qint64 r) {
            return std::min(t.TooTekstiKoht(t.m_arrReaAlgus[size_t(r)]), nPikkus);
        };
        const auto reaLopp = [&](qint64 r) { return r + 1 < nRead ? reaAlgus(r + 1) : nPikkus; };
        if (tuup == QAccessible::LineBoundary) {
            const qint64 r = *nRida + (suund == Suund::Enne ? -1 : suund == Suund::Parast ? 1 : 0);
            if (r < 0 || r >= nRead)
                return {};
            *nAlgus = kohtInt(reaAlgus(r));
            *nLopp = kohtInt(reaLopp(r));
            return t.TooTekst(*nAlgus, *nLopp);
        }

        // Every other boundary is found by Qt's rules in a stretch around the offset: the lines on
        // either side, for paragraphs the paragraphs on either side, for no boundary everything.
        qint64 nEsimene = std::max<qint64>(0, *nRida - 1);
        qint64 nViimane = std::min(nRead - 1, *nRida + 1);
        if (tuup == QAccessible::ParagraphBoundary) {
            const auto loik = [&](qint64 r) { return t.m_arrRIDA[size_t(r)].m_LOIK.get(); };
            nEsimene = nViimane = *nRida;
            for (int nLoik = 0; nLoik < 2; ++nLoik) {
                if (nLoik == 1 && nEsimene > 0)
                    --nEsimene;
                while (nEsimene > 0 && loik(nEsimene - 1) == loik(nEsimene))
                    --nEsimene;
            }
            for (int nLoik = 0; nLoik < 2; ++nLoik) {
                if (nLoik == 1 && nViimane < nRead - 1)
                    ++nViimane;
                while (nViimane < nRead - 1 && loik(nViimane + 1) == loik(nViimane))
                    ++nViimane;
            }
        } else if (tuup == QAccessible::NoBoundary) {
            nEsimene = 0;
            nViimane = nRead - 1;
        }
        const qint64 nA = reaAlgus(nEsimene);
        const qint64 nB = reaLopp(nViimane);
        const int nSees = kohtInt(nSiin - nA);
        const TekstiLoik umbrus(t.TooTekst(nA, nB), nSees);
        QString strTulemus = suund == Suund::Enne     ? umbrus.textBeforeOffset(nSees, tuup, nAlgus, nLopp)
                             : suund == Suund::Juures ? umbrus.textAtOffset(nSees, tuup, nAlgus, nLopp)
                                                      : umbrus.textAfterOffset(nSees, tuup, nAlgus, nLopp);
        if (*nAlgus >= 0 && *nLopp >= 0) {
            *nAlgus = kohtInt(*nAlgus + nA);
            *nLopp = kohtInt(*nLopp + nA);
        }
        return strTulemus;
    }
};

QAccessibleInterface* looLigipaas(const QString&, QObject* objekt) {
    if (auto* vaade = qobject_cast<Tekstiboks*>(objekt))
        return new TekstiboksiLigipaas(vaade);
    return nullptr;
}

} // namespace

void Tekstiboks::PaigaldaLigipaas() {
    static const bool bPaigaldatud = [] {
        QAccessible::installFactory(looLigipaas);
        return true;
    }();
    Q_UNUSED(bPaigaldatud);
}

void Tekstiboks::LooTekstiAlgused() const {
    if (m_nTekstiVersioon == m_nVersioon)
        return;
    m_arrTekstiAlgus.clear();
    m_arrTekstiAlgus.reserve(size_t(std::max<qint64>(0, TooMaksKursor())) + 1);
    qint64 nKoht = 0;
    for (const auto& loik : m_arrLOIK) {
        if (!loik)
            continue;
        for (const auto& e : loik->m_arrELEMENT) {
            m_arrTekstiAlgus.push_back(nKoht);
            nKoht += e ? tukiPikkus(*e) : 0;
        }
    }
    m_arrTekstiAlgus.push_back(nKoht);
    m_nTekstiVersioon = m_nVersioon;
}

qint64 Tekstiboks::TooTekstiPikkus() const {
    LooTekstiAlgused();
    // The final paragraph end is never part of the text, as it is never selected.
    const size_t n = m_arrTekstiAlgus.size();
    return n >= 2 ? m_arrTekstiAlgus[n - 2] : 0;
}

qint64 Tekstiboks::TooTekstiKoht(qint64 nIndeks) const {
    LooTekstiAlgused();
    const qint64 nElemente = qint64(m_arrTekstiAlgus.size()) - 1;
    return m_arrTekstiAlgus[size_t(std::clamp<qint64>(nIndeks, 0, std::max<qint64>(0, nElemente)))];
}

qint64 Tekstiboks::TooElementTekstist(qint64 nKoht) const {
    LooTekstiAlgused();
    const qint64 nElemente = qint64(m_arrTekstiAlgus.size()) - 1;
    if (nElemente <= 0)
        return 0;
    // The last element whose piece starts at or before the offset: empty pieces share their start
    // with the next element and are passed over.
    const auto alates = m_arrTekstiAlgus.begin();
    const auto it = std::upper_bound(alates, alates + std::ptrdiff_t(nElemente), nKoht);
    return it == alates ? 0 : qint64(it - alates) - 1;
}

QString Tekstiboks::TooTekst(qint64 nAlgus, qint64 nLopp) const {
    nAlgus = std::max<qint64>(nAlgus, 0);
    nLopp = std::min(nLopp, TooTekstiPikkus());
    QString strTekst;
    if (nAlgus >= nLopp)
        return strTekst;
    strTekst.reserve(qsizetype(nLopp - nAlgus));
    const qint64 k = TooElementTekstist(nAlgus);
    const std::optional<qint64> nRida = LeiaRida(k);
    if (!nRida)
        return strTekst;
    qint64 nIndeks = m_arrReaAlgus[size_t(*nRida)];
    for (size_t r = size_t(*nRida); r < m_arrRIDA.size(); ++r) {
        for (const ELEMENT* e : m_arrRIDA[r].m_arrELEMENT) {
            const qint64 i = nIndeks++;
            if (i < k || !e)
                continue;
            const qint64 nTukk = TooTekstiKoht(i);
            if (nTukk >= nLopp)
                return strTekst;
            const QString strTukk = tekstiTukk(*e);
            const qint64 nAlates = std::max<qint64>(0, nAlgus - nTukk);
            strTekst +=
                QStringView(strTukk).mid(nAlates, std::min<qint64>(strTukk.size(), nLopp - nTukk) - nAlates);
        }
    }
    return strTekst;
}

QRectF Tekstiboks::TooTaheRist(qint64 nKoht) const {
    const qint64 k = TooElementTekstist(nKoht);
    const std::optional<qint64> nRida = LeiaRida(k);
    if (!nRida)
        return {};
    const RIDA& rida = m_arrRIDA[size_t(*nRida)];
    const ELEMENT* e = rida.m_arrELEMENT[size_t(k - m_arrReaAlgus[size_t(*nRida)])];
    if (!e || !e->m_ptPos || !e->m_cSuurus)
        return {};
    double x = m_cServad.width() + e->m_ptPos->x();
    double w = e->laius();
    if (e->m_TUUP == ELTUUP::MARK) {
        // A character of a run: the text before it and the character itself, measured in the run's
        // font, scaled to the width the run was laid out with.
        const auto& mark = static_cast<const ELMARK&>(*e);
        const QString& s = mark.m_strTekst;
        const qsizetype i = qsizetype(std::clamp<qint64>(nKoht - TooTekstiKoht(k), 0, s.size()));
        const qsizetype n = i < s.size() && s.at(i).isHighSurrogate() ? 2 : 1;
        double fEnne = 0.0;
        double fTaht = 0.0;
        if (s.size() > kMootmiseMaksPikkus || mark.m_nKiri < 0 ||
            mark.m_nKiri >= qint64(m_arrJooksevKiri.size())) {
            fEnne = double(i) / double(std::max<qsizetype>(s.size(), 1));
            fTaht = double(n) / double(std::max<qsizetype>(s.size(), 1));
        } else {
            const Font font = m_arrJooksevKiri[size_t(mark.m_nKiri)].TooFont(m_fSuum, true);
            const double fKokku = textSize(s, font).width();
            if (fKokku > 0.0) {
                fEnne = textSize(s.left(i), font).width() / fKokku;
                fTaht = textSize(s.mid(i, n), font).width() / fKokku;
            }
        }
        x += w * fEnne;
        w *= fTaht;
    }
    return QRectF(x, m_cServad.height() + m_arrReaY[size_t(*nRida)], w, rida.m_fKoguKorgus.value_or(0.0));
}

qint64 Tekstiboks::TooKohtPunktist(QPointF ptPunkt) const {
    const qint64 k = TooKursorPunktist(ptPunkt);
    const qint64 nKoht = TooTekstiKoht(k);
    const std::optional<qint64> nRida = LeiaRida(k);
    if (!nRida)
        return nKoht;
    const ELEMENT* e = m_arrRIDA[size_t(*nRida)].m_arrELEMENT[size_t(k - m_arrReaAlgus[size_t(*nRida)])];
    if (!e || e->m_TUUP != ELTUUP::MARK)
        return std::min(nKoht, TooTekstiPikkus());
    // Inside a run: the character whose box holds the point's x.
    const qsizetype nPikkus = static_cast<const ELMARK&>(*e).m_strTekst.size();
    qsizetype nAlumine = 0;
    qsizetype nUlemine = nPikkus;
    while (nUlemine - nAlumine > 1) {
        const qsizetype nKesk = nAlumine + (nUlemine - nAlumine) / 2;
        if (TooTaheRist(nKoht + nKesk).left() <= ptPunkt.x())
            nAlumine = nKesk;
        else
            nUlemine = nKesk;
    }
    return std::min(nKoht + nAlumine, TooTekstiPikkus());
}

QString Tekstiboks::TooTekstiOmadused(qint64 nKoht, int* nAlgus, int* nLopp) const {
    *nAlgus = *nLopp = -1;
    if (nKoht < 0 || nKoht >= TooTekstiPikkus())
        return {};
    const qint64 k = TooElementTekstist(nKoht);
    const std::optional<qint64> nRida = LeiaRida(k);
    if (!nRida)
        return {};
    const ELEMENT* e = m_arrRIDA[size_t(*nRida)].m_arrELEMENT[size_t(k - m_arrReaAlgus[size_t(*nRida)])];
    if (!e || e->m_nKiri < 0 || e->m_nKiri >= qint64(m_arrJooksevKiri.size()))
        return {};
    *nAlgus = kohtInt(TooTekstiKoht(k));
    *nLopp = kohtInt(TooTekstiKoht(k + 1));
    const KIRI& kiri = m_arrJooksevKiri[size_t(e->m_nKiri)];
    const auto rgb = [](const Colour& c) {
        return QStringLiteral("rgb(%1,%2,%3)")
            .arg(qRound(c.red * 255))
            .arg(qRound(c.green * 255))
            .arg(qRound(c.blue * 255));
    };
    // The attribute names of the desktop's accessibility bus.
    QString strOmadused = QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;font-style:%4;")
                              .arg(kiri.m_strKirjatuup)
                              .arg(kiri.m_fKirjasuurus)
                              .arg(kiri.m_bPaks ? 700 : 400)
                              .arg(kiri.m_bKaldkiri ? QStringLiteral("italic") : QStringLiteral("normal"));
    if (kiri.m_bAllaKriipsutatud)
        strOmadused += QStringLiteral("text-underline-style:solid;");
    if (kiri.m_bLabiKriipsutatud)
        strOmadused += QStringLiteral("text-line-through-type:single;");
    if (kiri.m_bUlaindeks || kiri.m_bAlaindeks)
        strOmadused +=
            kiri.m_bUlaindeks ? QStringLiteral("text-position:super;") : QStringLiteral("text-position:sub;");
    strOmadused += QStringLiteral("color:") + rgb(kiri.m_clKirjavarv) + u';';
    if (e->m_clEsiletost && *e->m_clEsiletost != Colour::white())
        strOmadused += QStringLiteral("background-color:") + rgb(*e->m_clEsiletost) + u';';
    return strOmadused;
}

void Tekstiboks::TeataLigipaasule() {
    // Without a listener nothing is worked out: the offsets need a table of the whole document.
    if (!accessibilityListening())
        return;
    // A new document starts with nothing told: its caret is new, and so is a selection in it. An
    // empty selection is no selection wherever it stands.
    if (m_cTeatatud.nVersioon != m_nVersioon)
        m_cTeatatud = {m_nVersioon, -1, -1, -1};
    qint64 nMin = std::min(m_nKursor, m_nShiftKursor);
    qint64 nMax = std::max(m_nKursor, m_nShiftKursor);
    if (nMin == nMax)
        nMin = nMax = -1;
    const int nKursor = kohtInt(TooTekstiKoht(m_nKursor));
    if (m_cTeatatud.nMin != nMin || m_cTeatatud.nMax != nMax) {
        QAccessibleTextSelectionEvent valik(this, nMin < 0 ? nKursor : kohtInt(TooTekstiKoht(nMin)),
                                            nMax < 0 ? nKursor : kohtInt(TooTekstiKoht(nMax)));
        valik.setCursorPosition(nKursor);
        notifyAccessibility(valik);
    }
    if (m_cTeatatud.nKursor != m_nKursor) {
        QAccessibleTextCursorEvent kursor(this, nKursor);
        notifyAccessibility(kursor);
    }
    m_cTeatatud = {m_nVersioon, m_nKursor, nMin, nMax};
}
