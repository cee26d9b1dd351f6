#include "Olekuriba.h"
#include "ViewController.h"

#include <QImage>
#include <gtest/gtest.h>

// Whether columns [x0, x1) hold a pixel darker than the grey background.
static bool tume(const QImage& img, int x0, int x1) {
    for (int x = x0; x < x1; ++x)
        for (int y = 2; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) < 100)
                return true;
    return false;
}

TEST(StatusBar, DrawsALightLineAlongTheTopAndBothTexts) {
    Olekuriba bar;
    bar.resize(300, 26);
    const QImage img = bar.grab().toImage();
    EXPECT_EQ(img.pixel(250, 0), qRgb(170, 170, 170)); // a whole row, not two half-covered ones
    // "Veerg: 1" starts near x = 6 and "Rida: 1" near x = 106, each on its own.
    EXPECT_TRUE(!tume(img, 0, 6) && tume(img, 6, 10) && !tume(img, 100, 106) && tume(img, 106, 110));
}

TEST(StatusBar, ShowsThePositionTheViewReports) {
    ViewController vc;
    vc.show();
    Tekstiboks& tb = *vc.m_cTekstiboks;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M a}{U}{M b}{N}><1{M c}{N}>"));
    tb.m_nKursor = 4;
    tb.Varskenda(true, false, false);
    EXPECT_EQ(QPoint(vc.m_cOlekuriba->m_nVeerg, vc.m_cOlekuriba->m_nRida), QPoint(1, 2));
}
