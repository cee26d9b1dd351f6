#pragma once

#include "platform/colour.h"

#include <QPointF>
#include <QSizeF>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

// Values that may be absent, stored without std::optional's flag and padding, for fields that every
// element of a document has: a million elements make every byte count a megabyte. Each reads and
// writes like the std::optional it replaces (has_value, bool, *, ->, value, value_or, reset,
// assignment, comparison, conversion to std::optional), so that code using the fields does not
// change.

namespace compact {

// Absent numbers are a NaN with a payload of their own. Arithmetic makes only the default NaN or
// passes on the payload of a NaN it was given, and an absent value is never computed with, so no
// computed number is ever taken for absent; a value with exactly these bits is stored as the default
// NaN instead, which reads the same.
inline constexpr std::uint64_t kAbsentBits = 0x7FF8'0000'5645'4C4DULL;

inline double absentNumber() {
    return std::bit_cast<double>(kAbsentBits);
}
inline bool isAbsentNumber(double f) {
    return std::bit_cast<std::uint64_t>(f) == kAbsentBits;
}
inline double presentNumber(double f) {
    return isAbsentNumber(f) ? std::numeric_limits<double>::quiet_NaN() : f;
}

// How a type marks absence in its own bits.
template <typename T> struct Marker;

template <> struct Marker<double> {
    static void makeAbsent(double& f) { f = absentNumber(); }
    static bool isAbsent(const double& f) { return isAbsentNumber(f); }
    static void makePresent(double& f) { f = presentNumber(f); }
};

template <> struct Marker<QSizeF> {
    static void makeAbsent(QSizeF& c) { c = QSizeF(absentNumber(), 0.0); }
    static bool isAbsent(const QSizeF& c) { return isAbsentNumber(c.width()); }
    static void makePresent(QSizeF& c) { c.setWidth(presentNumber(c.width())); }
};

template <> struct Marker<QPointF> {
    static void makeAbsent(QPointF& pt) { pt = QPointF(absentNumber(), 0.0); }
    static bool isAbsent(const QPointF& pt) { return isAbsentNumber(pt.x()); }
    static void makePresent(QPointF& pt) { pt.setX(presentNumber(pt.x())); }
};

// Enumerations whose cases are all non-zero are absent as 0.
template <typename T>
requires std::is_enum_v<T>
struct Marker<T> {
    static void makeAbsent(T& e) { e = T(0); }
    static bool isAbsent(const T& e) { return std::underlying_type_t<T>(e) == 0; }
    static void makePresent(T&) {}
};

} // namespace compact

template <typename T> class CompactOptional {
public:
    using value_type = T;

    CompactOptional() { compact::Marker<T>::makeAbsent(m_value); }
    CompactOptional(std::nullopt_t) : CompactOptional() {}
    CompactOptional(const T& value) : m_value(value) { compact::Marker<T>::makePresent(m_value); }
    CompactOptional(const std::optional<T>& value) : CompactOptional() {
        if (value)
            *this = *value;
    }

    CompactOptional& operator=(std::nullopt_t) {
        reset();
        return *this;
    }
    CompactOptional& operator=(const T& value) {
        m_value = value;
        compact::Marker<T>::makePresent(m_value);
        return *this;
    }
    CompactOptional& operator=(const std::optional<T>& value) { return *this = CompactOptional(value); }

    bool has_value() const { return !compact::Marker<T>::isAbsent(m_value); }
    explicit operator bool() const { return has_value(); }

    // Reading an absent value is a programming error, as it is for std::optional.
    T& operator*() { return m_value; }
    const T& operator*() const { return m_value; }
    T* operator->() { return &m_value; }
    const T* operator->() const { return &m_value; }
    const T& value() const {
        Q_ASSERT(has_value());
        return m_value;
    }
    T value_or(const T& fallback) const { return has_value() ? m_value : fallback; }
    void reset() { compact::Marker<T>::makeAbsent(m_value); }

    operator std::optional<T>() const { return has_value() ? std::optional<T>(m_value) : std::nullopt; }

    friend bool operator==(const CompactOptional& a, const CompactOptional& b) {
        return a.has_value() == b.has_value() && (!a.has_value() || a.m_value == b.m_value);
    }
    friend bool operator==(const CompactOptional& a, const T& b) { return a.has_value() && a.m_value == b; }
    friend bool operator==(const CompactOptional& a, std::nullopt_t) { return !a.has_value(); }
    friend bool operator==(const CompactOptional& a, const std::optional<T>& b) {
        return a.has_value() == b.has_value() && (!a.has_value() || a.m_value == *b);
    }

private:
    T m_value;
};

// A colour of four 8-bit channels, or none, in five bytes. Colours read from documents are whole
// multiples of 1/255 in every channel and come back exactly; any other colour is stored at the
// nearest 8-bit channels. Reads give the double-valued Colour that styles and drawing use.
class CompactColour {
public:
    CompactColour() = default;
    CompactColour(std::nullopt_t) {}
    CompactColour(const Colour& colour) { *this = colour; }
    CompactColour(const std::optional<Colour>& colour) {
        if (colour)
            *this = *colour;
    }

    CompactColour& operator=(std::nullopt_t) {
        reset();
        return *this;
    }
    CompactColour& operator=(const Colour& colour) {
        m_channels = {channel(colour.red), channel(colour.green), channel(colour.blue),
                      channel(colour.alpha)};
        m_bPresent = true;
        return *this;
    }
    CompactColour& operator=(const std::optional<Colour>& colour) { return *this = CompactColour(colour); }

    bool has_value() const { return m_bPresent; }
    explicit operator bool() const { return m_bPresent; }

    Colour operator*() const {
        return {m_channels[0] / 255.0, m_channels[1] / 255.0, m_channels[2] / 255.0, m_channels[3] / 255.0};
    }
    // Member access reads a copy, as no Colour is kept to point at.
    struct Arrow {
        Colour colour;
        const Colour* operator->() const { return &colour; }
    };
    Arrow operator->() const { return {**this}; }
    Colour value() const {
        Q_ASSERT(m_bPresent);
        return **this;
    }
    Colour value_or(const Colour& fallback) const { return m_bPresent ? **this : fallback; }
    void reset() {
        m_channels = {};
        m_bPresent = false;
    }

    operator std::optional<Colour>() const { return m_bPresent ? std::optional(**this) : std::nullopt; }

    friend bool operator==(const CompactColour& a, const CompactColour& b) {
        return a.m_bPresent == b.m_bPresent && a.m_channels == b.m_channels;
    }
    friend bool operator==(const CompactColour& a, const Colour& b) { return a.m_bPresent && *a == b; }
    friend bool operator==(const CompactColour& a, std::nullopt_t) { return !a.m_bPresent; }
    friend bool operator==(const CompactColour& a, const std::optional<Colour>& b) {
        return b ? a == *b : !a.m_bPresent;
    }

private:
    static std::uint8_t channel(double f) {
        // NaN and values outside 0 ... 1 (never read from a document) are held at the nearest end.
        if (!(f > 0.0))
            return 0;
        if (!(f < 1.0))
            return 255;
        return std::uint8_t(std::lround(f * 255.0));
    }

    std::array<std::uint8_t, 4> m_channels{};
    bool m_bPresent = false;
};
