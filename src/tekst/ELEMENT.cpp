#include "tekst/ELEMENT.h"

std::optional<ELEMENT::ELTUUP> ELEMENT::ELTUUPrawValue(int nRaw) {
    if (nRaw < int(ELTUUP::ENTER) || nRaw > int(ELTUUP::PILT))
        return std::nullopt;
    return ELTUUP(nRaw);
}
