#pragma once

#include "platform/colour.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

// One element of a paragraph: a character run, a tab, a space, a paragraph end or a picture.
// Elements are reference objects: a paragraph owns them, and the lines laid out from it point at
// the very same objects, so a width written through a line is seen through the paragraph.
class ELEMENT {
public:
    enum class ELTUUP : int { ENTER = 1, MARK = 2, TAB = 3, TUHIK = 4, PILT = 5 };

    // The kind with this raw value, or nothing outside 1 ... 5.
    static std::optional<ELTUUP> ELTUUPrawValue(int nRaw);

    virtual ~ELEMENT() = default;
    ELEMENT(const ELEMENT&) = delete;
    ELEMENT& operator=(const ELEMENT&) = delete;

    std::optional<QSizeF> m_cSuurus;
    std::optional<QPointF> m_ptPos;
    qint64 m_nKiri = -1;
    std::optional<double> m_fTous;
    std::optional<Colour> m_clEsiletost = Colour::white();
    std::optional<ELTUUP> m_TUUP;

    // Shorthands for the measured box, for callers that run after measuring.
    double laius() const { return m_cSuurus->width(); }
    double korgus() const { return m_cSuurus->height(); }

protected:
    ELEMENT() = default;
};

using ELTUUP = ELEMENT::ELTUUP;
