#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/LOIK.h"

#include <gtest/gtest.h>

TEST(Model, RawValuesConvertOnlyInRange) {
    for (int raw = -1; raw <= 7; ++raw) {
        EXPECT_EQ(ELEMENT::ELTUUPrawValue(raw).has_value(), raw >= 1 && raw <= 5) << raw;
        EXPECT_EQ(LOIK::JOONDUSrawValue(raw).has_value(), raw >= 1 && raw <= 4) << raw;
    }
    EXPECT_EQ(ELEMENT::ELTUUPrawValue(5), ELTUUP::PILT);
    EXPECT_EQ(LOIK::JOONDUSrawValue(4), JOONDUS::ROOP);
}

TEST(Model, CopyingAParagraphMakesFreshUnmeasuredElements) {
    LOIK loik;
    auto mark = std::make_unique<ELMARK>();
    mark->m_strTekst = "Tere";
    mark->m_nKiri = 2;
    mark->m_clEsiletost = Colour{1, 1, 0, 1};
    mark->m_cSuurus = QSizeF(40, 12);
    mark->m_fIndeksKorgus = 3;
    loik.m_arrELEMENT.push_back(std::move(mark));
    auto space = std::make_unique<ELTUHIK>();
    space->m_clEsiletost.reset();
    space->m_fOrginaalLaius = 5;
    loik.m_arrELEMENT.push_back(std::move(space));
    auto picture = std::make_unique<ELPILT>();
    picture->m_Kujutis = QImage(4, 3, QImage::Format_RGBA8888_Premultiplied);
    picture->m_Kujutis->fill(Qt::blue);
    picture->m_cOrginaalSuurus = QSizeF(120, 80);
    loik.m_arrELEMENT.push_back(std::move(picture));
    auto empty = std::make_unique<ELPILT>();
    empty->m_cOrginaalSuurus = QSizeF(50, 50);
    loik.m_arrELEMENT.push_back(std::move(empty));
    loik.m_arrELEMENT.push_back(std::make_unique<ELTAB>());
    loik.m_arrELEMENT.push_back(std::make_unique<ELENTER>());
    loik.m_arrELEMENT.back()->m_ptPos = QPointF(1, 2);

    const LOIK copy(JOONDUS::PAREMAL, loik.m_arrELEMENT);
    EXPECT_EQ(copy.m_Joondus, JOONDUS::PAREMAL);
    ASSERT_EQ(copy.m_arrELEMENT.size(), loik.m_arrELEMENT.size());
    for (size_t i = 0; i < copy.m_arrELEMENT.size(); ++i) {
        const ELEMENT& from = *loik.m_arrELEMENT[i];
        const ELEMENT& to = *copy.m_arrELEMENT[i];
        EXPECT_NE(&from, &to) << i;
        EXPECT_TRUE(to.m_TUUP == from.m_TUUP && to.m_nKiri == from.m_nKiri &&
                    to.m_clEsiletost == from.m_clEsiletost)
            << i;
        EXPECT_FALSE(to.m_cSuurus || to.m_ptPos || to.m_fTous) << i;
    }
    const auto& copiedMark = static_cast<const ELMARK&>(*copy.m_arrELEMENT[0]);
    EXPECT_EQ(copiedMark.m_strTekst, "Tere");
    EXPECT_FALSE(copiedMark.m_fIndeksKorgus);
    EXPECT_FALSE(static_cast<const ELTUHIK&>(*copy.m_arrELEMENT[1]).m_fOrginaalLaius);
    // Pictures get their own pixels; one without a bitmap gets the 1 x 1 stored size.
    const auto& copiedPicture = static_cast<const ELPILT&>(*copy.m_arrELEMENT[2]);
    ASSERT_TRUE(copiedPicture.m_Kujutis);
    EXPECT_EQ(copiedPicture.m_cOrginaalSuurus, QSizeF(120, 80));
    EXPECT_EQ(copiedPicture.m_Kujutis->pixel(2, 1), qRgb(0, 0, 255));
    EXPECT_NE(copiedPicture.m_Kujutis->constBits(),
              static_cast<const ELPILT&>(*loik.m_arrELEMENT[2]).m_Kujutis->constBits());
    const auto& copiedEmpty = static_cast<const ELPILT&>(*copy.m_arrELEMENT[3]);
    EXPECT_FALSE(copiedEmpty.m_Kujutis);
    EXPECT_EQ(copiedEmpty.m_cOrginaalSuurus, QSizeF(1, 1));

    EXPECT_EQ(loik.copy()->m_arrELEMENT.size(), loik.m_arrELEMENT.size());
    EXPECT_TRUE(LOIK(JOONDUS::ROOP, {}).m_arrELEMENT.empty());
}
