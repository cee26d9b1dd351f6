#include "tekst/LOIK.h"

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"

namespace {

template <typename Kind> std::unique_ptr<Kind> freshCopyBase(const ELEMENT& source) {
    auto element = std::make_unique<Kind>();
    element->m_nKiri = source.m_nKiri;
    element->m_clEsiletost = source.m_clEsiletost;
    return element;
}

// A new element of the same kind with the same style, highlight and content; what measuring and
// layout write is left absent, so the copy is measured afresh.
std::unique_ptr<ELEMENT> freshCopy(const ELEMENT& source) {
    if (!source.m_TUUP)
        return nullptr;
    switch (*source.m_TUUP) {
    case ELTUUP::ENTER:
        return freshCopyBase<ELENTER>(source);
    case ELTUUP::TAB:
        return freshCopyBase<ELTAB>(source);
    case ELTUUP::TUHIK:
        return freshCopyBase<ELTUHIK>(source);
    case ELTUUP::MARK: {
        auto mark = std::make_unique<ELMARK>();
        mark->m_nKiri = source.m_nKiri;
        mark->m_strTekst = static_cast<const ELMARK&>(source).m_strTekst;
        mark->m_clEsiletost = source.m_clEsiletost;
        return mark;
    }
    case ELTUUP::PILT: {
        const auto& picture = static_cast<const ELPILT&>(source);
        auto copy = freshCopyBase<ELPILT>(source);
        if (picture.m_Kujutis)
            copy->LooKujutis(*picture.m_Kujutis, picture.m_cOrginaalSuurus.value_or(QSizeF(1.0, 1.0)));
        else
            copy->m_cOrginaalSuurus = QSizeF(1.0, 1.0);
        return copy;
    }
    }
    return nullptr;
}

} // namespace

std::optional<LOIK::JOONDUS> LOIK::JOONDUSrawValue(int nRaw) {
    if (nRaw < int(JOONDUS::VASAKUL) || nRaw > int(JOONDUS::ROOP))
        return std::nullopt;
    return JOONDUS(nRaw);
}

LOIK::LOIK(JOONDUS nJoondus, const std::vector<std::unique_ptr<ELEMENT>>& arrELEMENT) : m_Joondus(nJoondus) {
    m_arrELEMENT.reserve(arrELEMENT.size());
    for (const auto& element : arrELEMENT) {
        if (!element)
            continue;
        if (auto copy = freshCopy(*element))
            m_arrELEMENT.push_back(std::move(copy));
    }
}

std::shared_ptr<LOIK> LOIK::copy() const {
    return std::make_shared<LOIK>(m_Joondus, m_arrELEMENT);
}
