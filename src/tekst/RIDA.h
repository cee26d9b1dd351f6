#pragma once

#include "CompactOptional.h"

#include <memory>
#include <vector>

class ELEMENT;
class LOIK;

// One laid-out line: a contiguous stretch of its paragraph's elements. The line holds its paragraph
// strongly, and the paragraph owns the elements and never drops one while it lives, so the element
// pointers of a line can never outlive their objects.
class RIDA {
public:
    std::shared_ptr<LOIK> m_LOIK;
    CompactOptional<double> m_fKoguKorgus;
    CompactOptional<double> m_fTekstiKorgus;
    CompactOptional<double> m_fTous;
    std::vector<ELEMENT*> m_arrELEMENT;
    CompactOptional<double> m_fMaksLaius;
};
