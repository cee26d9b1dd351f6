#include "Olekuriba.h"
#include "ViewController.h"
#include "testsupport.h"

#include <QImage>
#include <QScrollArea>
#include <gtest/gtest.h>

namespace {

QImage joonista(QWidget& w) {
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(Qt::magenta);
    w.render(&img);
    return img;
}

// The leftmost column in [x0, x1) holding a pixel darker than the grey background.
int tekstiAlgus(const QImage& img, int x0, int x1) {
    for (int x = x0; x < x1; ++x)
        for (int y = 2; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) < 100)
                return x;
    return -1;
}

} // namespace

TEST(StatusBar, DrawsGreyBarLightLineAndBothTexts) {
    Olekuriba bar;
    bar.resize(300, 26);
    EXPECT_EQ(bar.m_nVeerg, 1);
    EXPECT_EQ(bar.m_nRida, 1);
    const QImage img = joonista(bar);
    EXPECT_EQ(img.pixel(250, 15), qRgb(179, 179, 179)); // 0.7 grey
    EXPECT_EQ(img.pixel(250, 0), qRgb(170, 170, 170));  // light grey line along the top
    // "Veerg: 1" starts near x = 6 and "Rida: 1" near x = 106, each on its own.
    const int nVeerg = tekstiAlgus(img, 0, 100);
    const int nRida = tekstiAlgus(img, 100, 200);
    EXPECT_GE(nVeerg, 6);
    EXPECT_LE(nVeerg, 9);
    EXPECT_GE(nRida, 106);
    EXPECT_LE(nRida, 109);
}

TEST(StatusBar, ShowsWhatTheRefreshReports) {
    MessageRecorder teated;
    ViewController vc;
    vc.show();
    Tekstiboks& tb = *vc.m_cTekstiboks;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M a}{U}{M b}{N}><1{M c}{N}>"));
    tb.m_nKursor = 4;
    tb.Varskenda(true, false, false);
    EXPECT_EQ(vc.m_cOlekuriba->m_nVeerg, 1);
    EXPECT_EQ(vc.m_cOlekuriba->m_nRida, 2);
    // Numbers are shown unchecked.
    vc.m_cOlekuriba->Varskenda(-3, 0);
    EXPECT_EQ(vc.m_cOlekuriba->m_nVeerg, -3);
}

TEST(StatusBar, WindowTitleAndViewportSize) {
    MessageRecorder teated;
    ViewController vc;
    vc.show();
    vc.SeaNahtavaAla(QSize(640, 480));
    EXPECT_EQ(vc.m_cKerimisala->viewport()->size(), QSize(640, 480));
    EXPECT_EQ(vc.m_cTekstiboks->TooEmaSuurus(), QSizeF(640, 480));
    vc.m_cTekstiboks->Ava(QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm"));
    EXPECT_EQ(vc.windowTitle(), "Velmora - naidis.vlm");
    EXPECT_EQ(vc.m_cTekstiboks->width(), 640);
}
