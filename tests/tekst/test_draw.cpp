#include "platform/canvas.h"
#include "tekst/ELENTER.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/Tekstiboks.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <sstream>

namespace {

const Colour kPunane{1, 0, 0, 1}, kValge = Colour::white();

// A document made by hand with exact sizes, one paragraph per line, in a view of 300 x 200 with
// margins of 4 and gaps of 3. A line's elements are tokens: N paragraph end, P picture, T tab, U space
// or M run of a space, with a width; or a run 10 wide with the text before any of the marks "/n" style
// n (1 subscript, 2 underlined and struck through), a last "!" red or "?" no highlight (else opaque
// white). Elements are as high as the line's text part and rise as much; a run's index height is half
// its height.
struct Dokument {
    Tekstiboks t;

    Dokument() {
        t.m_arrRIDA.clear();
        t.m_arrJooksevKiri.emplace_back().m_bAlaindeks = true;
        KIRI& kriipsud = t.m_arrJooksevKiri.emplace_back();
        kriipsud.m_bAllaKriipsutatud = kriipsud.m_bLabiKriipsutatud = true;
        t.SeaNahtavaAlaSuurus(QSizeF(300, 200));
    }
    void rida(const std::string& strOsad, double fKogu = 20, double fTekst = 20) {
        RIDA& r = t.m_arrRIDA.emplace_back(RIDA{std::make_shared<LOIK>(), fKogu, fTekst, 15.0, {}, {}});
        std::istringstream in(strOsad);
        double x = 0;
        for (std::string s; in >> s;) {
            std::unique_ptr<ELEMENT> e = s[0] == 'N'   ? std::make_unique<ELENTER>()
                                         : s[0] == 'P' ? std::make_unique<ELPILT>()
                                         : s[0] == 'T' ? std::make_unique<ELTAB>()
                                         : s[0] == 'U' ? std::make_unique<ELTUHIK>()
                                                       : std::unique_ptr<ELEMENT>(std::make_unique<ELMARK>());
            e->m_cSuurus = QSizeF(std::isupper(s[0]) ? std::stod(s.substr(1)) : 10, fTekst);
            if (auto* m = dynamic_cast<ELMARK*>(e.get())) {
                m->m_strTekst = std::isupper(s[0]) ? " " : s.substr(0, s.find_first_of("/!?")).c_str();
                m->m_fIndeksKorgus = fTekst / 2;
            }
            e->m_nKiri = s.find('/') != std::string::npos ? std::stoi(s.substr(s.find('/') + 1)) : 0;
            e->m_clEsiletost =
                s.back() == '?' ? std::nullopt : std::optional(s.back() == '!' ? kPunane : kValge);
            e->m_ptPos = QPointF(std::exchange(x, x + e->laius()), 0);
            e->m_fTous = 15.0;
            r.m_arrELEMENT.push_back(e.get());
            r.m_LOIK->m_arrELEMENT.push_back(std::move(e));
        }
    }
};

// The colours of n pixels of row y, samm apart from x: W white, R red, B blue, b light blue, # dark.
std::string rivi(const QImage& pilt, int y, int x, int samm, size_t n) {
    std::string s;
    for (; s.size() < n; x += samm) {
        const QColor c = pilt.pixelColor(x, y);
        s += c.value() < 80 ? '#' : c.blue() < 9 ? 'R' : c.red() < 9 ? 'B' : c.green() == 255 ? 'W' : 'b';
    }
    return s;
}

struct Maal {
    QImage pilt{1, 1, QImage::Format_ARGB32_Premultiplied};
    QPainter painter{&pilt};
};

// Records the runs drawn with the top of their text, "a@4|[bc]@4|", a white (selected) one in
// brackets, and a caret over text as "^".
struct Kirjutaja : Maal, Canvas {
    std::string jooksud;

    explicit Kirjutaja(Tekstiboks& t) : Canvas(Maal::painter) {
        t.ArvutaGeomeetria();
        t.Joonista(*this);
    }
    void drawText(const QString& s, const QPointF& p, const Font&, const Colour& c,
                  TextDecoration d) override {
        jooksud += (c == kValge ? '[' + s + ']' : s).toStdString() + '@' + std::to_string(int(p.y())) +
                   (hasDecoration(d, TextDecoration::Underline) ? "_" : "") +
                   (hasDecoration(d, TextDecoration::StrikeThrough) ? "~" : "") + '|';
    }
    void strokeSegments(std::initializer_list<QLineF>, const Colour&, LineDash) override { jooksud += '^'; }
};

// Line 0 (y 4 ... 24) holds 30-wide runs by highlight and a picture with one; lines 1 (y 27 ... 47)
// and 2 (y 50 ... 70) are selected up to the last paragraph end, which never is. Line 3 (y 73 ... 103)
// is 30 high with the text part its bottom 20: two 20-wide runs and a red 40 x 20 picture that stands
// on the bottom.
TEST(Draw, BackgroundsCaretAndPictures) {
    Dokument d;
    d.rida("M30! M30 M30? P30! N5");
    d.rida("M40! P30 N10");
    d.rida("M50 N10");
    d.rida("M20 M20 P40 N5", 30);
    static_cast<ELPILT&>(*d.t.m_arrRIDA[3].m_arrELEMENT[2]).m_Kujutis =
        QImage(reinterpret_cast<const uchar*>("\xff\0\0"), 1, 1, QImage::Format_RGB888);
    d.t.ArvutaGeomeetria();
    d.t.m_bFookuses = true;
    d.t.m_nShiftKursor = 5;
    d.t.m_nKursor = 9;
    // Every 10 points from x 3: the top and bottom rows of lines 0 to 3, the gap below line 1, and
    // above the picture.
    const std::pair<int, const char*> rivid[] = {
        {5, "WRRRWWWWWWWWWW"},  {23, "WRRRWWWWWWWWWW"}, {28, "WBBBBbbbBWWWWW"}, {46, "WBBBBbbbBWWWWW"},
        {48, "WWWWWWWWWWWWWW"}, {51, "WBBBBBWWWWWWWW"}, {69, "WBBBBBWWWWWWWW"}, {82, "WWWWWWWWWWWWWW"},
        {84, "WWWWWRRRRWWWWW"}, {102, "WWWWWRRRRWWWWW"}};
    for (const auto& [y, oodatud] : rivid)
        EXPECT_EQ(rivi(d.t.JoonistaPildiks(1), y, 3, 10, 14), oodatud) << y;
    // The caret: two columns at x 24 over the text part (y 83 ... 103) only.
    d.t.m_nKursor = d.t.m_nShiftKursor = 11;
    for (int y : {83, 84, 102})
        EXPECT_EQ(rivi(d.t.JoonistaPildiks(1), y, 22, 1, 5), y == 83 ? "WWWWW" : "WW##W") << y;
    // On a picture the caret is a dashed frame.
    d.t.m_nKursor = d.t.m_nShiftKursor = 12;
    EXPECT_LT(rivi(d.t.JoonistaPildiks(1), 83, 44, 1, 40).find("#####RRRRR#####RRRRR#####"), 40u);
}

// The exact colours: the selection is pure blue on every kind and wins over a red highlight; a
// selected picture is covered by light blue at half opacity, over its bitmap or over the page.
TEST(Draw, SelectionColoursAreExact) {
    Dokument d;
    d.rida("U10! T10! M10! N10! P20 P20 U10! N10");
    static_cast<ELPILT&>(*d.t.m_arrRIDA[0].m_arrELEMENT[5]).m_Kujutis =
        QImage(reinterpret_cast<const uchar*>("\xff\0\0"), 1, 1, QImage::Format_RGB888);
    d.t.m_nShiftKursor = 0;
    d.t.m_nKursor = 6;
    d.t.ArvutaGeomeetria();
    const QImage pilt = d.t.JoonistaPildiks(1);
    const std::pair<int, QColor> kohad[] = {{9, QColor(0, 0, 255)},      {19, QColor(0, 0, 255)},
                                            {29, QColor(0, 0, 255)},     {39, QColor(0, 0, 255)},
                                            {54, QColor(166, 217, 255)}, {74, QColor(166, 89, 128)},
                                            {89, QColor(255, 0, 0)}};
    for (const auto& [x, oodatud] : kohad) {
        const QColor c = pilt.pixelColor(x, 14);
        EXPECT_TRUE(std::abs(c.red() - oodatud.red()) <= 1 && std::abs(c.green() - oodatud.green()) <= 1 &&
                    std::abs(c.blue() - oodatud.blue()) <= 1)
            << x << ": " << c.name().toStdString();
    }
}

TEST(Draw, RunsSplitAtStyleHighlightAndSelectionEdges) {
    // Split after the caret's left neighbour. A style outside the table draws in the default style;
    // a subscript goes down by its height less its index height.
    const std::tuple<const char*, int, int, const char*> read[] = {
        {"a b c", 2, 2, "ab@4|c@4|"},
        {"a b c d", 3, 1, "a@4|[bc]@4|d@4|"},
        {"a/7 b/7 c/1 d/1! e/1?", 0, 0, "ab@4|c@14|d@14|e@14|"},
        {"a b/2 c/2", 0, 0, "a@4|bc@4_~|"}};
    for (const auto& [osad, nKursor, nShift, oodatud] : read) {
        Dokument d;
        d.rida(std::string(osad) + " N5");
        d.t.m_nKursor = nKursor;
        d.t.m_nShiftKursor = nShift;
        EXPECT_EQ(Kirjutaja(d.t).jooksud, oodatud) << osad;
    }
}

// Deep in a long document only the lines touching the visible area are drawn (touching edges count),
// with their own sequence indices, so that the selection and the caret fall on the right elements.
// Line k spans 4 + 23k ... 24 + 23k, so line 15000 345004 ... 345024; its run has the index 2k.
TEST(Draw, VisibleLinesDeepInALongDocument) {
    Dokument d;
    for (int k = 0; k < 20000; ++k)
        d.rida(std::to_string(k) + " N5");
    d.t.ArvutaGeomeetria();
    // Top and height of the visible area, whether line 15001's run is selected, the focus, what is drawn.
    const std::tuple<double, double, bool, bool, const char*> read[] = {
        {345024, 30, true, true, "15000@345004|[15001]@345027|15002@345050|"},
        {345025, 30, false, true, "15001@345027|15002@345050|^"},
        {345025, 30, false, false, "15001@345027|15002@345050|"},
        {345004, 23, true, true, "15000@345004|[15001]@345027|"},
        {345004, 22, false, true, "15000@345004|"}};
    for (const auto& [fYlal, fKorgus, bValik, bFookus, oodatud] : read) {
        d.t.SeaNahtavaAlaSuurus(QSizeF(300, fKorgus));
        d.t.SeaKerimiskoht(QPointF(0, fYlal));
        d.t.m_bFookuses = bFookus;
        d.t.m_nShiftKursor = 2 * 15001;
        d.t.m_nKursor = d.t.m_nShiftKursor + (bValik ? 1 : 0);
        EXPECT_EQ(Kirjutaja(d.t).jooksud, oodatud) << fYlal << " " << fKorgus;
    }
}

// Records each text drawn with its top-left corner.
struct Salvestaja : Maal, Canvas {
    std::vector<std::pair<QString, QPointF>> arrTekstid;

    explicit Salvestaja(const Tekstiboks& t) : Canvas(Maal::painter) { t.Joonista(*this); }
    void drawText(const QString& s, const QPointF& p, const Font&, const Colour&, TextDecoration) override {
        arrTekstid.emplace_back(s, p);
    }
};

// A document of one paragraph holding `strRuns`, in Arial 15, its view 800 x 600 at zoom fSuum.
std::unique_ptr<Tekstiboks> yksLoik(const QString& strRuns, double fSuum = 100) {
    auto t = std::make_unique<Tekstiboks>();
    t->SeaNahtavaAlaSuurus(QSizeF(800, 600));
    t->AvaFail("VLM1<1{F Arial;15;0;0;0;0;0;0;#000000}" + strRuns + "{N}>");
    if (fSuum != 100)
        t->Suumi(fSuum);
    return t;
}

// Inside a run of hundreds of thousands of characters a screen draws only the part in view, where
// measuring put it: each drawn text is the run's text at the place it is drawn, and together they
// cover the visible area. Characters without advance (a letter and its marks) stack in one place,
// and only a bounded number of them is drawn.
TEST(Draw, LongRunsDrawOnlyWhatIsInView) {
    const QString strX(300'000, u'x');
    const QString strKernitud = QStringLiteral("AVATAR Tyyp. ").repeated(20'000);
    const QString strMargid = "a" + QString(200'000, QChar(0x0301));
    // The run, and where in it the visible area is centred (as a share of its width).
    const std::tuple<const char*, QString, double> read[] = {
        {"start", strX, 0.0},
        {"middle", strX, 0.5},
        {"end", strX, 1.0},
        {"kerned, middle", strKernitud, 0.5},
        {"a letter and 200,000 marks", strMargid, 0.0},
    };
    for (const auto& [nimi, strTekst, fOsa] : read) {
        const auto t = yksLoik("{M " + strTekst + "}");
        const Font font = t->m_arrJooksevKiri[0].TooFont(100, true);
        const double fJooks = textSize(strTekst, font).width();
        t->SeaKerimiskoht(QPointF(std::clamp(4 + fOsa * fJooks - 400, 0.0, t->width() - 800.0), 0));
        const QRectF rVis = t->TooNahtavRist();
        ASSERT_EQ(rVis.width(), 800) << nimi;
        const std::shared_ptr<const TextPieces> cTukid =
            static_cast<const ELMARK&>(*t->m_arrLOIK[0]->m_arrELEMENT[0]).TooTukid();
        ASSERT_TRUE(cTukid) << nimi;
        const TextPieces& tukid = *cTukid;

        const Salvestaja s(*t);
        ASSERT_FALSE(s.arrTekstid.empty()) << nimi;
        qsizetype nKokku = 0, nJargmine = -1;
        for (const auto& [strJoonistatud, pt] : s.arrTekstid) {
            nKokku += strJoonistatud.size();
            if (strTekst == strMargid)
                continue;
            // The drawn text starts a piece; it must be the run's text there and follow on from the
            // text drawn before it.
            size_t k = 0;
            while (k < tukid.starts.size() &&
                   std::abs(4 + tukid.advances[k] * font.referenceScale() - pt.x()) > 1e-6)
                ++k;
            ASSERT_LT(k, tukid.starts.size()) << nimi << " " << pt.x();
            const qsizetype nAlgus = tukid.starts[k];
            EXPECT_EQ(strJoonistatud, strTekst.mid(nAlgus, strJoonistatud.size())) << nimi;
            // Its first glyph stands where it stands in the whole run: after the text before it, moved
            // by whatever kerning that text's last glyph has with it.
            const double fEnne = textSize(strTekst.left(nAlgus + 1), font).width() -
                                 textSize(strTekst.mid(nAlgus, 1), font).width();
            EXPECT_NEAR(pt.x(), 4 + fEnne, 1e-6) << nimi;
            EXPECT_TRUE(nJargmine < 0 || nAlgus == nJargmine) << nimi;
            nJargmine = nAlgus + strJoonistatud.size();
        }
        // The pieces that reach into view (an 800 point view shows about a hundred characters);
        // of the stacked marks a few screens' worth, whatever the run's length.
        EXPECT_LE(nKokku, (strTekst == strMargid ? 32 : 3) * kTextPieceLength) << nimi;
        const auto& [strEsimene, ptEsimene] = s.arrTekstid.front();
        const auto& [strViimane, ptViimane] = s.arrTekstid.back();
        EXPECT_LE(ptEsimene.x(), std::max(rVis.left(), 4.0)) << nimi;
        EXPECT_GE(ptViimane.x() + textSize(strViimane, font).width(), std::min(rVis.right(), 4 + fJooks))
            << nimi;
    }

    // At zoom 0.2, twenty thousand short runs share one line and make one run of 40,000 characters:
    // drawn a piece at a time, each piece at its first element, all of it in order.
    QString strLuhikesed;
    for (int i = 0; i < 20'000; ++i)
        strLuhikesed += QStringLiteral("{M x%1}").arg(i % 10);
    const auto t = yksLoik(strLuhikesed, 0.2);
    ASSERT_EQ(t->m_arrRIDA.size(), 1u);
    const Salvestaja s(*t);
    QString strKoik;
    for (const auto& [strJoonistatud, pt] : s.arrTekstid) {
        EXPECT_LE(strJoonistatud.size(), kTextPieceLength);
        const auto& e = *t->m_arrRIDA[0].m_arrELEMENT[size_t(strKoik.size() / 2)];
        EXPECT_EQ(pt.x(), 4 + e.m_ptPos->x()) << strKoik.size();
        strKoik += strJoonistatud;
    }
    EXPECT_EQ(strKoik.size(), 40'000);
    EXPECT_TRUE(strKoik.startsWith("x0x1x2") && strKoik.endsWith("x8x9"));
}

} // namespace
