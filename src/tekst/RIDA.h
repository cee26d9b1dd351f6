#pragma once

#include <memory>
#include <optional>
#include <vector>

class ELEMENT;
class LOIK;

// One laid-out line: a contiguous stretch of its paragraph's elements. The line holds its paragraph
// strongly, and the paragraph owns the elements and never drops one while it lives, so the element
// pointers of a line can never outlive their objects.
class RIDA {
public:
    std::shared_ptr<LOIK> m_LOIK;
    std::optional<double> m_fKoguKorgus;
    std::optional<double> m_fTekstiKorgus;
    std::optional<double> m_fTous;
    std::vector<ELEMENT*> m_arrELEMENT;
    std::optional<double> m_fMaksLaius;
};
