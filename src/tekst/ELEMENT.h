#pragma once

#include "CompactOptional.h"
#include "platform/colour.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

// One element of a paragraph: a character run, a tab, a space, a paragraph end or a picture.
// Elements are reference objects: a paragraph owns them, and the lines laid out from it point at
// the very same objects, so a width written through a line is seen through the paragraph.
class ELEMENT {
public:
    // One byte, so that the kind fits beside the other fields.
    enum class ELTUUP : quint8 { ENTER = 1, MARK = 2, TAB = 3, TUHIK = 4, PILT = 5 };

    // The kind with this raw value, or nothing outside 1 ... 5.
    static std::optional<ELTUUP> ELTUUPrawValue(int nRaw);

    virtual ~ELEMENT() = default;
    ELEMENT(const ELEMENT&) = delete;
    ELEMENT& operator=(const ELEMENT&) = delete;

    // A document holds an element for every word or character, so the fields are kept compact: the
    // absent values are marked in the values' own bits, the style index takes 32 bits (a document
    // cannot hold more styles than that) and the highlight, always a colour read from the document
    // or white, four bytes.
    CompactOptional<QSizeF> m_cSuurus;
    CompactOptional<QPointF> m_ptPos;
    qint32 m_nKiri = -1;
    CompactOptional<double> m_fTous;
    CompactColour m_clEsiletost = Colour::white();
    CompactOptional<ELTUUP> m_TUUP;

    // Shorthands for the measured box, for callers that run after measuring.
    double laius() const { return m_cSuurus->width(); }
    double korgus() const { return m_cSuurus->height(); }

protected:
    ELEMENT() = default;
};

using ELTUUP = ELEMENT::ELTUUP;
