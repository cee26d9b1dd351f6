// Drawing the visible lines: merged character runs, element backgrounds, pictures and the caret.

#include "tekst/Tekstiboks.h"

#include "platform/canvas.h"
#include "tekst/ELENTER.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const Colour kValikuTaust{0.0, 0.0, 1.0, 1.0};
const Colour kKursoriVarv{0.1, 0.1, 0.1, 1.0};

// Larger pictures of the view are refused rather than allocated.
constexpr double kPildiMaksKulg = 16384.0;
constexpr double kPildiMaksPikslid = 64.0 * 1024 * 1024;

double koguKorgus(const RIDA& rida) {
    return rida.m_fKoguKorgus.value_or(0.0);
}

// An element that layout has not placed yet (or a line pointer that is null) is left out of the
// drawing instead of being read.
bool onPaigutatud(const ELEMENT* e) {
    return e && e->m_cSuurus && e->m_ptPos && e->m_TUUP;
}

// Calls visit(rida, fReaY, nIndeks) for every line that touches rVis, top to bottom, where fReaY is
// the line's top in view coordinates and nIndeks the sequence index of its first element.
// With a positive zoom line tops only grow, so the first visible line is found by a binary search
// over the geometry that layout keeps and the walk stops below the visible area: the cost follows
// the visible lines, not the document. At a zoom of 0 or less (the line gap turns negative) or with a
// geometry out of step with the lines, every line is walked from the top instead.
template <typename Visit> void kaiNahtavadRead(const Tekstiboks& t, const QRectF& rVis, Visit&& visit) {
    const std::vector<RIDA>& read = t.m_arrRIDA;
    const qint64 nRead = qint64(read.size());
    const bool bGeomeetria = t.m_arrReaAlgus.size() == read.size() && t.m_arrReaY.size() == read.size();
    const bool bKasvav = bGeomeetria && t.m_fSuum > 0.0 && std::isfinite(t.m_fSuum);
    const double fServ = t.m_cServad.height();
    const double fVisYlal = rVis.top();
    const double fVisAll = rVis.bottom();

    qint64 k = 0;
    double fY = 0.0;
    qint64 nIndeks = 0;
    if (bKasvav) {
        k = std::clamp<qint64>(t.EsimeneRidaAlatesY(fVisYlal), 0, nRead);
        while (k > 0 && fServ + t.m_arrReaY[size_t(k - 1)] + koguKorgus(read[size_t(k - 1)]) >= fVisYlal)
            --k;
    }
    for (; k < nRead; ++k) {
        const RIDA& rida = read[size_t(k)];
        if (bGeomeetria) {
            fY = t.m_arrReaY[size_t(k)];
            nIndeks = t.m_arrReaAlgus[size_t(k)];
        }
        const double fYlal = fServ + fY;
        const double fAll = fYlal + koguKorgus(rida);
        if (bKasvav && fYlal > fVisAll)
            break;
        // Both bounds are inclusive: a line that only touches the visible area with an edge is drawn.
        // A line whose place is not a number is not drawn at all.
        if (fAll >= fVisYlal && fYlal <= fVisAll)
            visit(rida, fYlal, nIndeks);
        fY += koguKorgus(rida) + t.TooReaVahe();
        nIndeks += qint64(rida.m_arrELEMENT.size());
    }
}

// The run of character elements collected but not drawn yet: elements nEsimene ... nViimane of its
// line.
struct Jooks {
    QString strTekst;
    QPointF pt;
    const ELMARK* mark = nullptr;
    double fLaius = 0.0;
    bool bValitud = false;
    size_t nEsimene = 0;
    size_t nViimane = 0;
};

// What drawing a run in its style needs, taken from the style of its first element.
struct TekstiStiil {
    Font font;
    Colour clTekst;
    TextDecoration kaunistus = TextDecoration::None;
    std::optional<Colour> clTaust;
    // The top of the text's line box, for a run whose top is at fYlal.
    double y = 0.0;
};

TekstiStiil tekstiStiil(const Tekstiboks& t, const ELMARK& mark, bool bValitud, double fYlal,
                        double fKoguKorgus, double fTekstiKorgus, double fReaTous) {
    // The reader builds the style table and the indices together; an index outside it still draws,
    // in the default style, rather than reading past the table.
    static const KIRI kVaikeKiri;
    const bool bKiriOlemas = mark.m_nKiri >= 0 && mark.m_nKiri < qint64(t.m_arrJooksevKiri.size());
    const KIRI& kiri = bKiriOlemas ? t.m_arrJooksevKiri[size_t(mark.m_nKiri)] : kVaikeKiri;

    TekstiStiil stiil;
    stiil.y = fYlal + (fReaTous - mark.m_fTous.value_or(fReaTous));
    if (kiri.m_bAlaindeks && mark.m_cSuurus)
        stiil.y += mark.korgus() - mark.m_fIndeksKorgus.value_or(mark.korgus());
    stiil.y += fKoguKorgus - fTekstiKorgus;

    stiil.font = kiri.TooFont(t.m_fSuum, true);
    stiil.clTekst = bValitud ? Colour::white() : kiri.m_clKirjavarv;
    if (kiri.m_bAllaKriipsutatud)
        stiil.kaunistus = stiil.kaunistus | TextDecoration::Underline;
    if (kiri.m_bLabiKriipsutatud)
        stiil.kaunistus = stiil.kaunistus | TextDecoration::StrikeThrough;

    // An absent highlight has no colour to fill with, so it stays on the white page like opaque white.
    if (bValitud)
        stiil.clTaust = kValikuTaust;
    else if (mark.m_clEsiletost && *mark.m_clEsiletost != Colour::white())
        stiil.clTaust = mark.m_clEsiletost;
    return stiil;
}

void taidaTaust(Canvas& canvas, const TekstiStiil& stiil, const QRectF& rTaust) {
    if (!stiil.clTaust)
        return;
    canvas.setAntialiasing(false);
    canvas.fillRect(rTaust, *stiil.clTaust);
    canvas.setAntialiasing(true);
}

// A run longer than kTextPieceLength draws only what is in view, and of that at most this many code
// units and kTihedus more for every pixel their advances span: beyond that, characters without
// advance (a stack of combining marks) only darken the same pixels again.
constexpr qsizetype kSuurimJoonistatav = 4 * kTextPieceLength;
constexpr double kTihedus = 256;
// What one text-drawing call may span at the reference size, well inside the font engine's fixed point.
constexpr double kSuurimJoonistatavLaius = 8'000'000.0;

// Draws the part of a long run that lies between fVasak and fParem (view coordinates): whole
// elements in view, a few at a time, and of an element too long for that only the pieces in view,
// each placed by the advances measured with them.
void joonistaPikkJooks(Canvas& canvas, const std::vector<ELEMENT*>& arrElemendid, const Jooks& jooks,
                       const TekstiStiil& stiil, double fServX, double y, double fVasak, double fParem) {
    // Glyphs reach a little outside their advance (italics, marks); what is that close is drawn too.
    const double fVaru = 2 * stiil.font.size() + 2;
    fVasak -= fVaru;
    fParem += fVaru;
    qsizetype nJoonistatud = 0;
    double fJoonistatudLaius = 0.0;
    const auto lubatud = [&](double fLisaLaius) {
        return double(kSuurimJoonistatav) + kTihedus * std::max(0.0, fJoonistatudLaius + fLisaLaius);
    };
    QString strTukk;
    double fTukiX = 0.0;
    double fTukiLopp = 0.0;
    const auto joonistaTukk = [&] {
        if (!strTukk.isEmpty())
            canvas.drawText(strTukk, QPointF(fTukiX, y), stiil.font, stiil.clTekst, stiil.kaunistus);
        nJoonistatud += strTukk.size();
        fJoonistatudLaius += fTukiLopp - fTukiX;
        strTukk.clear();
        fTukiX = fTukiLopp = 0.0;
    };
    for (size_t k = jooks.nEsimene; k <= jooks.nViimane && double(nJoonistatud) < lubatud(fTukiLopp - fTukiX);
         ++k) {
        const auto* mark = static_cast<const ELMARK*>(arrElemendid[k]);
        if (!onPaigutatud(mark) || mark->m_TUUP != ELTUUP::MARK)
            continue;
        const double x0 = fServX + mark->m_ptPos->x();
        if (x0 + mark->laius() < fVasak || x0 > fParem || mark->m_strTekst.isEmpty()) {
            joonistaTukk();
            continue;
        }
        const QString& strTekst = mark->m_strTekst;
        if (strTekst.size() <= kTextPieceLength) {
            if (strTukk.size() + strTekst.size() > kTextPieceLength)
                joonistaTukk();
            if (strTukk.isEmpty())
                fTukiX = x0;
            strTukk += strTekst;
            fTukiLopp = x0 + mark->laius();
            continue;
        }
        joonistaTukk();

        // The pieces it was measured in place it; without them (an element measured in another
        // face or with another text, or set by hand) the pieces are cut here and placed in proportion
        // to their length.
        const double fSkaala = stiil.font.referenceScale();
        std::shared_ptr<const TextPieces> tukid = mark->TooTukid();
        const bool bOmad = tukid && tukid->face == stiil.font.face() && tukid->length == strTekst.size() &&
                           (tukid->text.constData() == strTekst.constData() || tukid->text == strTekst);
        if (!bOmad) {
            auto ligikaudu = std::make_shared<TextPieces>();
            ligikaudu->length = strTekst.size();
            const double fKokku = mark->laius() / fSkaala;
            for (qsizetype nAlgus = 0; nAlgus < strTekst.size();) {
                ligikaudu->starts.push_back(nAlgus);
                ligikaudu->advances.push_back(fKokku * double(nAlgus) / double(strTekst.size()));
                nAlgus = std::min(nAlgus + kTextPieceLength, strTekst.size());
                if (nAlgus < strTekst.size() && strTekst[nAlgus].isLowSurrogate())
                    ++nAlgus;
            }
            ligikaudu->advances.push_back(fKokku);
            tukid = std::move(ligikaudu);
        }
        const std::vector<qsizetype>& arrAlgus = tukid->starts;
        const std::vector<double>& arrEnne = tukid->advances;
        const size_t nTukke = arrAlgus.size();
        const auto xAt = [&](size_t i) { return x0 + arrEnne[i] * fSkaala; };
        // The first piece whose end reaches the visible part, by halving: advances grow along a run.
        size_t i = 0;
        for (size_t nKuni = nTukke; i < nKuni;) {
            const size_t nKesk = i + (nKuni - i) / 2;
            if (xAt(nKesk + 1) < fVasak)
                i = nKesk + 1;
            else
                nKuni = nKesk;
        }
        size_t j = i;
        while (j < nTukke && xAt(j) <= fParem &&
               double(nJoonistatud + (arrAlgus[j] - arrAlgus[i])) < lubatud(xAt(j) - xAt(i)) &&
               arrEnne[j + 1] - arrEnne[i] <= kSuurimJoonistatavLaius)
            ++j;
        if (j == i)
            continue;
        const qsizetype nLopp = j < nTukke ? arrAlgus[j] : strTekst.size();
        fTukiX = xAt(i);
        fTukiLopp = xAt(j);
        strTukk = strTekst.mid(arrAlgus[i], nLopp - arrAlgus[i]);
        joonistaTukk();
    }
    joonistaTukk();
}

} // namespace

void Tekstiboks::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!painter.isActive())
        return;
    // The widget shows the document from the scroll position on.
    painter.translate(-TooKerimiskoht());
    Canvas canvas(painter);
    Joonista(canvas);
}

QImage Tekstiboks::JoonistaPildiks(qreal fPikslisuhe) const {
    if (!(fPikslisuhe > 0.0) || !std::isfinite(fPikslisuhe))
        fPikslisuhe = 1.0;
    const QRectF rVis = TooNahtavRist();
    const double fLaius = std::ceil(rVis.width() * fPikslisuhe);
    const double fKorgus = std::ceil(rVis.height() * fPikslisuhe);
    if (!(fLaius >= 1.0 && fKorgus >= 1.0) || fLaius > kPildiMaksKulg || fKorgus > kPildiMaksKulg ||
        fLaius * fKorgus > kPildiMaksPikslid)
        return {};

    QImage pilt(int(fLaius), int(fKorgus), QImage::Format_ARGB32_Premultiplied);
    if (pilt.isNull())
        return {};
    pilt.setDevicePixelRatio(fPikslisuhe);
    pilt.fill(Qt::white);
    QPainter painter(&pilt);
    if (!painter.isActive())
        return {};
    painter.translate(-rVis.topLeft());
    Canvas canvas(painter);
    Joonista(canvas);
    painter.end();
    return pilt;
}

void Tekstiboks::Joonista(Canvas& canvas) const {
    JoonistaAla(canvas, TooNahtavRist(), Joonistus::Ekraan);
}

void Tekstiboks::JoonistaAla(Canvas& canvas, const QRectF& rVis, Joonistus joonistus) const {
    if (!canvas.painter().isActive())
        return;

    // The whole widget is painted, and the whole visible area when there is no widget to show it.
    // Paper is white already; a page background of its own would only cover what the printer draws
    // around the printable area.
    if (joonistus == Joonistus::Ekraan)
        canvas.fillRect(QRectF(TooKerimiskoht(), QSizeF(size()).expandedTo(TooEmaSuurus())), Colour::white());
    if (m_arrRIDA.empty())
        return;

    const qint64 nMin = std::min(m_nKursor, m_nShiftKursor);
    const qint64 nMax = std::max(m_nKursor, m_nShiftKursor);
    const double fServX = m_cServad.width();

    // Pass 1: runs, the other elements and the selection.
    kaiNahtavadRead(*this, rVis, [&](const RIDA& rida, double fReaY, qint64 nIndeks) {
        const double fKogu = koguKorgus(rida);
        const double fTekst = rida.m_fTekstiKorgus.value_or(fKogu);
        const double fTous = rida.m_fTous.value_or(0.0);
        Jooks jooks;
        auto joonistaJooks = [&] {
            if (jooks.strTekst.isEmpty())
                return;
            if (jooks.strTekst.size() <= kTextPieceLength) {
                JoonistaTekst(canvas, jooks.strTekst, jooks.pt, fKogu, fTekst, fTous, *jooks.mark,
                              jooks.bValitud, jooks.fLaius);
            } else {
                // A long run is drawn only where it is in view: its background over the visible
                // part, then its text piece by piece.
                const TekstiStiil stiil =
                    tekstiStiil(*this, *jooks.mark, jooks.bValitud, jooks.pt.y(), fKogu, fTekst, fTous);
                const QRectF rJooks(jooks.pt.x(), jooks.pt.y(), jooks.fLaius, fKogu);
                taidaTaust(
                    canvas, stiil,
                    rJooks.intersected(QRectF(rVis.left() - 1, rJooks.top(), rVis.width() + 2, fKogu)));
                if (!stiil.font.isEmpty())
                    joonistaPikkJooks(canvas, rida.m_arrELEMENT, jooks, stiil, fServX, stiil.y, rVis.left(),
                                      rVis.right());
            }
            jooks.strTekst.clear();
        };
        // A run never spans two lines, so the last style and highlight need not outlive the line.
        qint64 nViimaneKiri = -1;
        std::optional<Colour> clViimane;
        bool bEsimene = true;

        for (size_t k = 0; k < rida.m_arrELEMENT.size(); ++k) {
            const ELEMENT* e = rida.m_arrELEMENT[k];
            const qint64 i = nIndeks++;
            if (!onPaigutatud(e)) {
                joonistaJooks();
                continue;
            }
            const bool bValitud = nMin <= i && i < nMax;
            if (!bEsimene && e->m_nKiri != nViimaneKiri)
                joonistaJooks();
            if (!bEsimene && e->m_clEsiletost != clViimane)
                joonistaJooks();
            nViimaneKiri = e->m_nKiri;
            clViimane = e->m_clEsiletost;
            bEsimene = false;

            const QPointF pt(fServX + e->m_ptPos->x(), fReaY + e->m_ptPos->y());
            switch (*e->m_TUUP) {
            case ELTUUP::MARK: {
                const auto* mark = static_cast<const ELMARK*>(e);
                if (jooks.strTekst.isEmpty()) {
                    jooks.pt = pt;
                    jooks.mark = mark;
                    jooks.fLaius = 0.0;
                    jooks.bValitud = bValitud;
                    jooks.nEsimene = k;
                }
                jooks.nViimane = k;
                jooks.strTekst += mark->m_strTekst;
                jooks.fLaius += mark->laius();
                break;
            }
            case ELTUUP::ENTER:
                joonistaJooks();
                static_cast<const ELENTER*>(e)->Joonista(canvas, pt, bValitud, fKogu);
                break;
            case ELTUUP::TAB:
                joonistaJooks();
                static_cast<const ELTAB*>(e)->Joonista(canvas, pt, bValitud, fKogu);
                break;
            case ELTUUP::TUHIK:
                joonistaJooks();
                static_cast<const ELTUHIK*>(e)->Joonista(canvas, pt, bValitud, fKogu);
                break;
            case ELTUUP::PILT:
                joonistaJooks();
                static_cast<const ELPILT*>(e)->Joonista(canvas, pt, bValitud, fKogu);
                break;
            }
            // A run ends with the last element before the selection and with the last selected one.
            if (i == nMin - 1 || i == nMax - 1)
                joonistaJooks();
        }
        joonistaJooks();
    });

    // Pass 2: the caret, on top of the text; only with the focus and an empty selection.
    if (!m_bFookuses || m_nKursor != m_nShiftKursor)
        return;
    kaiNahtavadRead(*this, rVis, [&](const RIDA& rida, double fReaY, qint64 nIndeks) {
        const qint64 nVeerg = m_nKursor - nIndeks;
        if (nVeerg < 0 || nVeerg >= qint64(rida.m_arrELEMENT.size()))
            return;
        const ELEMENT* e = rida.m_arrELEMENT[size_t(nVeerg)];
        if (!onPaigutatud(e))
            return;
        const double fKogu = koguKorgus(rida);
        const double x = fServX + e->m_ptPos->x();
        const double fYlal = fReaY + e->m_ptPos->y();
        canvas.setAntialiasing(false);
        if (*e->m_TUUP != ELTUUP::PILT) {
            const double fTekst = rida.m_fTekstiKorgus.value_or(fKogu);
            const double y = fYlal + (fKogu - fTekst);
            canvas.strokeSegments({QLineF(x, y + 1, x, y + fTekst), QLineF(x + 1, y + 1, x + 1, y + fTekst)},
                                  kKursoriVarv);
        } else {
            const double y = fYlal + (fKogu - e->korgus());
            canvas.strokeRect(QRectF(x, y, e->laius(), e->korgus()), kKursoriVarv, LineDash::FiveOnFiveOff);
        }
        canvas.setAntialiasing(true);
    });
}

void Tekstiboks::JoonistaTekst(Canvas& canvas, const QString& strTekst, QPointF pt, double fKoguKorgus,
                               double fTekstiKorgus, double fReaTous, const ELMARK& mark, bool bValitud,
                               double fTekstiLaius) const {
    const TekstiStiil stiil =
        tekstiStiil(*this, mark, bValitud, pt.y(), fKoguKorgus, fTekstiKorgus, fReaTous);
    taidaTaust(canvas, stiil, QRectF(pt.x(), pt.y(), fTekstiLaius, fKoguKorgus));
    canvas.drawText(strTekst, QPointF(pt.x(), stiil.y), stiil.font, stiil.clTekst, stiil.kaunistus);
}
