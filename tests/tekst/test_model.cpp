#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTUHIK.h"
#include "tekst/LOIK.h"

#include <gtest/gtest.h>

// Alignment digits are checked where they are read.
TEST(Model, ElementKindsConvertOnlyInRange) {
    for (int raw = -1; raw <= 7; ++raw)
        EXPECT_EQ(ELEMENT::ELTUUPrawValue(raw).has_value(), raw >= 1 && raw <= 5) << raw;
}

// The copy of a measured paragraph: new elements of the same kinds, styles, highlights and texts,
// measured afresh; a picture gets its own pixels and keeps its stored size.
TEST(Model, CopyingAParagraphMakesFreshUnmeasuredElements) {
    LOIK loik;
    for (ELEMENT* e : std::initializer_list<ELEMENT*>{new ELMARK, new ELTUHIK, new ELPILT}) {
        loik.m_arrELEMENT.emplace_back(e)->m_nKiri = 2;
        e->m_cSuurus = QSizeF(40, 12);
    }
    static_cast<ELMARK&>(*loik.m_arrELEMENT[0]).m_strTekst = "Tere";
    loik.m_arrELEMENT[1]->m_clEsiletost.reset();
    auto& pilt = static_cast<ELPILT&>(*loik.m_arrELEMENT[2]);
    QImage bitmap(4, 3, QImage::Format_RGBA8888_Premultiplied);
    bitmap.fill(Qt::red);
    pilt.LooKujutis(bitmap, QSizeF(120, 80));

    const LOIK copy(JOONDUS::PAREMAL, loik.m_arrELEMENT);
    ASSERT_TRUE(copy.m_Joondus == JOONDUS::PAREMAL && copy.m_arrELEMENT.size() == 3);
    for (size_t i = 0; i < 3; ++i) {
        const ELEMENT &from = *loik.m_arrELEMENT[i], &to = *copy.m_arrELEMENT[i];
        EXPECT_TRUE(&to != &from && to.m_TUUP == from.m_TUUP && to.m_clEsiletost == from.m_clEsiletost) << i;
        EXPECT_TRUE(to.m_nKiri == 2 && !to.m_cSuurus) << i;
    }
    EXPECT_EQ(static_cast<const ELMARK&>(*copy.m_arrELEMENT[0]).m_strTekst, "Tere");
    // The copy has a bitmap of its own, so the original's pixels are shared with nobody.
    const auto& dup = static_cast<const ELPILT&>(*copy.m_arrELEMENT[2]);
    EXPECT_TRUE(dup.m_Kujutis && pilt.m_Kujutis->isDetached() && dup.m_cOrginaalSuurus == QSizeF(120, 80));
}
