#include "platform/canvas.h"
#include "tekst/ELENTER.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/Tekstiboks.h"

#include <QPainter>
#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

const Colour kPunane{1.0, 0.0, 0.0, 1.0};
const Colour kSinine{0.0, 0.0, 1.0, 1.0};
const Colour kValge = Colour::white();

// A document made by hand with exact sizes: one paragraph per line, elements left to right with the
// widths given, heights and rises those of the line's text. The view shows 300 x 200 from the top.
struct Dokument {
    Tekstiboks t;
    double x = 0.0;

    Dokument() {
        t.m_arrLOIK.clear();
        t.m_arrRIDA.clear();
        t.m_arrJooksevKiri.resize(2);
        t.resize(300, 200);
        t.SeaNahtavaAlaSuurus(QSizeF(300, 200));
    }
    void rida(double fKogu, double fTekst = 20, double fTous = 15) {
        t.m_arrLOIK.push_back(std::make_shared<LOIK>());
        RIDA& r = t.m_arrRIDA.emplace_back();
        r.m_LOIK = t.m_arrLOIK.back();
        r.m_fKoguKorgus = fKogu;
        r.m_fTekstiKorgus = fTekst;
        r.m_fTous = fTous;
        x = 0.0;
    }
    template <class T> T& lisa(double w, std::optional<double> h = {}) {
        RIDA& r = t.m_arrRIDA.back();
        auto e = std::make_unique<T>();
        e->m_nKiri = 0;
        e->m_cSuurus = QSizeF(w, h.value_or(*r.m_fTekstiKorgus));
        e->m_ptPos = QPointF(x, 0.0);
        e->m_fTous = *r.m_fTous;
        x += w;
        r.m_arrELEMENT.push_back(e.get());
        r.m_LOIK->m_arrELEMENT.push_back(std::move(e));
        return static_cast<T&>(*r.m_arrELEMENT.back());
    }
    ELMARK& mark(const QString& s, double w = 10) {
        ELMARK& m = lisa<ELMARK>(w);
        m.m_strTekst = s;
        m.m_fIndeksKorgus = m.korgus();
        return m;
    }
    QImage pilt(qreal fPikslisuhe = 1.0) {
        t.ArvutaGeomeetria();
        return t.JoonistaPildiks(fPikslisuhe);
    }
};

struct Maal {
    QImage pilt{10, 10, QImage::Format_ARGB32_Premultiplied};
    QPainter painter{&pilt};
};

// Records what is drawn instead of drawing it.
struct Kirjutaja : Maal, Canvas {
    struct Tekst {
        QString s;
        QPointF pt;
        Colour c;
        TextDecoration d;
        double fSuurus;
    };
    std::vector<Tekst> tekstid;
    int nKursoreid = 0;

    explicit Kirjutaja(Tekstiboks& t) : Canvas(Maal::painter) {
        t.ArvutaGeomeetria();
        t.Joonista(*this);
    }
    void drawText(const QString& s, const QPointF& pt, const Font& f, const Colour& c,
                  TextDecoration d) override {
        tekstid.push_back({s, pt, c, d, f.size()});
    }
    void strokeSegments(std::initializer_list<QLineF>, const Colour&, LineDash) override { ++nKursoreid; }
    void strokeRect(const QRectF&, const Colour&, LineDash) override { ++nKursoreid; }
    // The runs drawn, a selected (white) one in brackets.
    QStringList jooksud() const {
        QStringList arr;
        for (const Tekst& t : tekstid)
            arr << (t.c == kValge ? QLatin1Char('[') + t.s + QLatin1Char(']') : t.s);
        return arr;
    }
};

bool onVarv(const QImage& pilt, int x, int y, const Colour& c, double fLubatud = 0.02) {
    const QColor p = pilt.pixelColor(x, y);
    return std::abs(p.redF() - c.red) <= fLubatud && std::abs(p.greenF() - c.green) <= fLubatud &&
           std::abs(p.blueF() - c.blue) <= fLubatud;
}
bool onTume(const QImage& pilt, int x, int y) {
    return pilt.pixelColor(x, y).lightnessF() < 0.3;
}

TEST(Draw, EmptyLineListIsAWhitePageAndNoPainterDrawsNothing) {
    Dokument d;
    d.t.m_bFookuses = true;
    const QImage pilt = d.pilt();
    ASSERT_EQ(pilt.size(), QSize(300, 200));
    for (int i = 0; i < 200; i += 3)
        ASSERT_TRUE(onVarv(pilt, i, i, kValge)) << i;

    QPainter painter; // never begun
    struct Loendaja : Canvas {
        using Canvas::Canvas;
        int n = 0;
        void fillRect(const QRectF&, const Colour&) override { ++n; }
    } canvas(painter);
    Tekstiboks().Joonista(canvas);
    EXPECT_EQ(canvas.n, 0);
}

// The background of a 30-wide slot on a 20-high line (drawn at two device pixels a point), by kind,
// highlight and selection; the paragraph end after it stays white.
TEST(Draw, SlotBackgrounds) {
    enum Liik { Mark, Tab, Tuhik, Enter, Pilt };
    struct Rida {
        const char* nimi;
        Liik liik;
        std::optional<Colour> cl;
        bool bValitud;
        Colour oodatud;
    } read[] = {
        {"highlighted run", Mark, kPunane, false, kPunane},
        {"opaque white run", Mark, kValge, false, kValge},
        {"absent highlight", Mark, std::nullopt, false, kValge},
        {"selection hides the highlight", Mark, kPunane, true, kSinine},
        {"nearly white is a highlight", Mark, Colour{1, 1, 0.9, 1}, false, Colour{1, 1, 0.9, 1}},
        {"highlighted tab", Tab, kPunane, false, kPunane},
        {"absent highlight tab", Tab, std::nullopt, false, kValge},
        {"plain space", Tuhik, kValge, false, kValge},
        {"selected paragraph end", Enter, kValge, true, kSinine},
        {"picture ignores its highlight", Pilt, kPunane, false, kValge},
        {"selected picture without bitmap", Pilt, kValge, true, Colour{0.65, 0.85, 1.0, 1}},
    };
    for (const Rida& r : read) {
        Dokument d;
        d.rida(20);
        ELEMENT* e = r.liik == Mark    ? static_cast<ELEMENT*>(&d.mark(QStringLiteral(" "), 30))
                     : r.liik == Tab   ? static_cast<ELEMENT*>(&d.lisa<ELTAB>(30))
                     : r.liik == Tuhik ? static_cast<ELEMENT*>(&d.lisa<ELTUHIK>(30))
                     : r.liik == Enter ? static_cast<ELEMENT*>(&d.lisa<ELENTER>(30))
                                       : static_cast<ELEMENT*>(&d.lisa<ELPILT>(30));
        e->m_clEsiletost = r.cl;
        d.lisa<ELENTER>(5);
        d.t.m_nShiftKursor = r.bValitud ? 1 : 0;
        const QImage pilt = d.pilt(2.0);
        EXPECT_TRUE(onVarv(pilt, 2 * 5, 2 * 5, r.oodatud, 0.01)) << r.nimi;
        EXPECT_TRUE(onVarv(pilt, 2 * 33, 2 * 23, r.oodatud, 0.01)) << r.nimi;
        EXPECT_TRUE(onVarv(pilt, 2 * 35, 2 * 5, kValge)) << r.nimi;
    }
}

TEST(Draw, SelectionOverSeveralLinesIsOneBandPerLine) {
    Dokument d;
    for (int k = 0; k < 3; ++k) {
        d.rida(20);
        d.mark(QStringLiteral(" "), 40 + 10 * k);
        d.lisa<ELENTER>(6);
    }
    d.t.m_nKursor = 5; // the last paragraph end, never selected
    const QImage pilt = d.pilt();
    for (int k = 0; k < 3; ++k) {
        const int y = 4 + 23 * k, nLopp = k < 2 ? 4 + 46 + 10 * k : 4 + 60;
        EXPECT_TRUE(onVarv(pilt, 4, y, kSinine) && onVarv(pilt, nLopp - 1, y + 19, kSinine)) << k;
        EXPECT_TRUE(onVarv(pilt, nLopp, y + 10, kValge)) << k << ": the band ends with the line";
        EXPECT_TRUE(onVarv(pilt, 20, y + 21, kValge)) << k << ": the gap below stays white";
    }
}

// A 30-high line whose text part is its bottom 20 points (y 14 ... 34); the caret stands at x 24.
TEST(Draw, CaretIsTwoColumnsOverTheTextPartOnlyWithFocusAndNoSelection) {
    struct Rida {
        bool bFookus;
        qint64 nShift;
        bool bKursor;
    } read[] = {{true, 1, true}, {false, 1, false}, {true, 2, false}};
    for (const Rida& r : read) {
        Dokument d;
        d.rida(30);
        d.mark(QStringLiteral(" "), 20);
        d.mark(QStringLiteral(" "), 20);
        d.lisa<ELENTER>(5);
        d.t.m_bFookuses = r.bFookus;
        d.t.m_nKursor = 1;
        d.t.m_nShiftKursor = r.nShift;
        const QImage pilt = d.pilt();
        for (int y : {15, 25, 33})
            EXPECT_TRUE(onTume(pilt, 24, y) == r.bKursor && onTume(pilt, 25, y) == r.bKursor)
                << r.nShift << y;
        EXPECT_FALSE(onTume(pilt, 24, 14) || onTume(pilt, 23, 25) || onTume(pilt, 26, 25));
    }
}

// A 40 x 20 picture on a 30-high line stands on the bottom, stretched and upright (red on top of
// green); the caret on it is a dashed frame; when selected a translucent layer covers the whole slot.
TEST(Draw, PictureStandsOnTheBottomOfItsLine) {
    QImage bitmap(1, 2, QImage::Format_RGBA8888);
    bitmap.setPixelColor(0, 0, Qt::red);
    bitmap.setPixelColor(0, 1, Qt::green);
    for (bool bValitud : {false, true}) {
        Dokument d;
        d.rida(30);
        d.lisa<ELPILT>(40).m_Kujutis = bitmap;
        d.lisa<ELENTER>(5);
        d.t.m_bFookuses = true;
        d.t.m_nShiftKursor = bValitud ? 1 : 0;
        const QImage pilt = d.pilt();
        const auto kiht = [&](Colour c) {
            return bValitud ? Colour{(c.red + 0.3) / 2, (c.green + 0.7) / 2, (c.blue + 1.0) / 2, 1} : c;
        };
        EXPECT_TRUE(onVarv(pilt, 24, 8, kiht(kValge), 0.03)) << bValitud;
        EXPECT_TRUE(onVarv(pilt, 24, 15, kiht(kPunane), 0.1)) << bValitud;
        EXPECT_TRUE(onVarv(pilt, 42, 33, kiht(Colour{0, 1, 0, 1}), 0.1)) << bValitud;
        QString strServ; // the frame's top edge
        for (int x = 4; x < 44; ++x)
            strServ += onTume(pilt, x, 14) ? QLatin1Char('#') : QLatin1Char('.');
        EXPECT_EQ(strServ.contains(QStringLiteral("#####.....#####.....#####.....#####")), !bValitud)
            << qPrintable(strServ);
    }
}

TEST(Draw, RunsSplitAtStyleHighlightAndSelectionEdges) {
    struct Osa {
        const char* s;
        qint64 nKiri = 0;
        std::optional<Colour> cl = kValge;
        bool bTab = false, bMootmata = false;
    };
    struct Rida {
        const char* nimi;
        std::vector<Osa> osad;
        qint64 nKursor, nShift;
        QStringList oodatud;
    } read[] = {
        {"one style", {{"a"}, {"b"}, {"c"}}, 0, 0, {"abc"}},
        {"split after the cursor's left neighbour", {{"a"}, {"b"}, {"c"}}, 2, 2, {"ab", "c"}},
        {"later half selected", {{"a"}, {"b"}, {"c"}, {"d"}}, 2, 4, {"ab", "[cd]"}},
        {"selection in the middle", {{"a"}, {"b"}, {"c"}, {"d"}}, 3, 1, {"a", "[bc]", "d"}},
        {"style change", {{"a"}, {"b", 1}, {"c", 1}}, 0, 0, {"a", "bc"}},
        {"highlight change", {{"a"}, {"b", 0, kPunane}, {"c", 0, std::nullopt}}, 0, 0, {"a", "b", "c"}},
        {"tab in a selection", {{"a"}, {"", 0, kValge, true}, {"b"}}, 0, 3, {"[a]", "[b]"}},
        {"empty text starts nothing", {{""}, {"b"}, {"c"}}, 0, 0, {"bc"}},
        {"unmeasured element is skipped", {{"a"}, {"x", 0, kValge, false, true}, {"b"}}, 0, 0, {"a", "b"}},
        {"style outside the table", {{"a", 7}, {"b", 7}}, 0, 0, {"ab"}},
    };
    for (const Rida& r : read) {
        Dokument d;
        d.rida(20);
        for (const Osa& o : r.osad) {
            ELEMENT& e = o.bTab ? static_cast<ELEMENT&>(d.lisa<ELTAB>(10)) : d.mark(QString::fromUtf8(o.s));
            e.m_nKiri = o.nKiri;
            e.m_clEsiletost = o.cl;
            if (o.bMootmata)
                e.m_cSuurus.reset();
        }
        d.lisa<ELENTER>(5);
        d.t.m_nKursor = r.nKursor;
        d.t.m_nShiftKursor = r.nShift;
        const Kirjutaja k(d.t);
        EXPECT_EQ(k.jooksud(), r.oodatud) << r.nimi;
        EXPECT_EQ(k.tekstid.at(0).pt.x(), r.osad[0].s[0] ? 4 : 14)
            << r.nimi << ": a run starts at its first character";
    }
}

// Where a run's text goes: the line's rise less the element's, the subscript offset, the text part
// at the bottom of the line. The line is 30 high, its text part 20, its rise 16.
TEST(Draw, TextOrigin) {
    struct Rida {
        const char* nimi;
        bool bAla, bUla;
        double oodatudY;
    } read[] = {
        {"plain", false, false, 4 + (16 - 12) + (30 - 20)},
        {"subscript: down by height less index height", true, false, 4 + 4 + (20 - 10) + 10},
        {"superscript stays", false, true, 4 + 4 + 10},
    };
    for (const Rida& r : read) {
        Dokument d;
        d.rida(30, 20, 16);
        d.mark(QStringLiteral(" "));
        ELMARK& m = d.mark(QStringLiteral("x"));
        m.m_nKiri = 1;
        m.m_fTous = 12;
        m.m_fIndeksKorgus = 10;
        d.lisa<ELENTER>(5);
        KIRI& kiri = d.t.m_arrJooksevKiri[1];
        kiri.m_bAlaindeks = r.bAla;
        kiri.m_bUlaindeks = r.bUla;
        kiri.m_bAllaKriipsutatud = kiri.m_bLabiKriipsutatud = true;
        const Kirjutaja k(d.t);
        ASSERT_EQ(k.tekstid.size(), 2u) << r.nimi;
        EXPECT_EQ(k.tekstid[1].pt, QPointF(14, r.oodatudY)) << r.nimi;
        EXPECT_EQ(int(k.tekstid[1].d), int(TextDecoration::Underline | TextDecoration::StrikeThrough));
        EXPECT_EQ(k.tekstid[1].fSuurus < k.tekstid[0].fSuurus, r.bAla || r.bUla) << r.nimi << ": index font";
    }
}

// Deep in a long document only the lines touching the visible area are drawn (touching edges count),
// with their own sequence indices, so that the selection and the caret fall on the right elements.
// Line k is 20 high and spans 4 + 23k ... 24 + 23k; its mark has the index 2k.
TEST(Draw, VisibleLinesDeepInALongDocument) {
    Dokument d;
    for (int k = 0; k < 20000; ++k) {
        d.rida(20);
        d.mark(QString::number(k));
        d.lisa<ELENTER>(5);
    }
    d.t.resize(300, 4 + 23 * 20000);
    d.t.m_bFookuses = true;
    const double y = 4 + 23 * 15000;
    struct Rida {
        const char* nimi;
        double fYlal, fKorgus;
        bool bValik;
        QStringList oodatud;
    } read[] = {
        {"bottom edge on the top edge", y + 20, 30, true, {"15000", "[15001]", "15002"}},
        {"one point past the bottom", y + 21, 30, false, {"15001", "15002"}},
        {"top edge on the bottom edge", y, 23, true, {"15000", "[15001]"}},
        {"top one point below the bottom", y, 22, false, {"15000"}},
    };
    for (const Rida& r : read) {
        d.t.SeaNahtavaAlaSuurus(QSizeF(300, r.fKorgus));
        d.t.SeaKerimiskoht(QPointF(0, r.fYlal));
        d.t.m_nShiftKursor = 2 * 15001;
        d.t.m_nKursor = d.t.m_nShiftKursor + (r.bValik ? 1 : 0);
        const Kirjutaja k(d.t);
        EXPECT_EQ(k.jooksud(), r.oodatud) << r.nimi;
        EXPECT_EQ(k.nKursoreid, r.bValik || r.oodatud.size() < 2 ? 0 : 1) << r.nimi;
    }
}

} // namespace
