#pragma once

#include "ELEMENT.h"
#include "RIDA.h"

#include <memory>
#include <optional>
#include <vector>

// A paragraph: its alignment and its elements, the last of which is its paragraph end. Paragraphs
// are always held by std::shared_ptr (lines refer to them strongly), so create them with
// std::make_shared.
class LOIK : public std::enable_shared_from_this<LOIK> {
public:
    enum class JOONDUS : int { VASAKUL = 1, KESKEL = 2, PAREMAL = 3, ROOP = 4 };

    // The alignment with this raw value, or nothing outside 1 ... 4.
    static std::optional<JOONDUS> JOONDUSrawValue(int nRaw);

    LOIK() = default;
    // The copying constructor: new elements of the same kinds, styles, highlights and texts,
    // unmeasured; pictures get a fresh copy of their bitmap.
    LOIK(JOONDUS nJoondus, const std::vector<std::unique_ptr<ELEMENT>>& arrELEMENT);
    LOIK(const LOIK&) = delete;
    LOIK& operator=(const LOIK&) = delete;

    std::shared_ptr<LOIK> copy() const;

    JOONDUS m_Joondus = JOONDUS::VASAKUL;
    std::vector<std::unique_ptr<ELEMENT>> m_arrELEMENT;

    // Breaks the paragraph into lines for the content width and puts them into arrRIDA in place of
    // the paragraph's old lines (or its placeholder); returns the new list.
    std::vector<RIDA> JoondaLoik(std::vector<RIDA> arrRIDA, double fSisuLaius);
    // The lines of this paragraph alone for the content width, without touching any line list.
    // JoondaLoik and the whole-document layout both break lines through it.
    std::vector<RIDA> TooRead(double fSisuLaius);
    // Lays out elements e1 ... e2 (both included) as one line.
    RIDA JoondaRida(qint64 e1, qint64 e2, double fSisulaius, bool bViimaneRida);
};

using JOONDUS = LOIK::JOONDUS;
