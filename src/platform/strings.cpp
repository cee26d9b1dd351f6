#include "platform/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype skipWhiteSpace(QStringView text, qsizetype i) {
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

double lenientDouble(QStringView text) {
    qsizetype i = skipWhiteSpace(text, 0);
    std::string number;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    // The decimal exponent of the first significant digit tells overflow from underflow when
    // the conversion reports the value out of range.
    bool seenSignificant = false;
    bool seenDigit = false;
    qint64 integerDigits = 0;
    while (i < text.size() && isAsciiDigit(text[i])) {
        if (text[i] != u'0')
            seenSignificant = true;
        if (seenSignificant)
            ++integerDigits;
        number += char(text[i].unicode());
        seenDigit = true;
        ++i;
    }
    qint64 leadingFractionZeros = 0;
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        ++i;
        while (i < text.size() && isAsciiDigit(text[i])) {
            if (!seenSignificant) {
                if (text[i] == u'0')
                    ++leadingFractionZeros;
                else
                    seenSignificant = true;
            }
            number += char(text[i].unicode());
            seenDigit = true;
            ++i;
        }
    }
    if (!seenDigit)
        return 0.0;

    qint64 exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool exponentNegative = false;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponentNegative = text[j] == u'-';
            ++j;
        }
        // An "e" without digits is not part of the number.
        if (j < text.size() && isAsciiDigit(text[j])) {
            std::string exponentText;
            while (j < text.size() && isAsciiDigit(text[j])) {
                exponent = std::min<qint64>(exponent * 10 + (text[j].unicode() - u'0'), 1000000000);
                exponentText += char(text[j].unicode());
                ++j;
            }
            if (exponentNegative)
                exponent = -exponent;
            number += exponentNegative ? "e-" : "e";
            number += exponentText;
        }
    }

    if (!seenSignificant)
        return negative ? -0.0 : 0.0;

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const qint64 leadingExponent =
            integerDigits > 0 ? integerDigits - 1 + exponent : exponent - leadingFractionZeros - 1;
        value = leadingExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

bool lenientBool(QStringView text) {
    qsizetype i = skipWhiteSpace(text, 0);
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    while (i < text.size() && text[i] == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const char16_t c = text[i].unicode();
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

quint32 scanHexInt(QStringView text, qsizetype start) {
    if (start < 0 || start > text.size())
        return 0;
    qsizetype i = skipWhiteSpace(text, start);
    // A bare "0x" reads as the number 0, so the prefix only counts when a digit follows it.
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        hexDigitValue(text[i + 2]) >= 0)
        i += 2;
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0)
            break;
        value = std::min<quint64>(value * 16 + quint64(digit), 0xFFFFFFFFull + 1);
    }
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : quint32(value);
}

std::optional<QStringView> NonEmptyPieces::next() {
    qsizetype start = m_position;
    while (start < m_text.size() && m_text[start] == m_separator)
        ++start;
    if (start >= m_text.size()) {
        m_position = m_text.size();
        return std::nullopt;
    }
    qsizetype end = m_text.indexOf(m_separator, start);
    if (end < 0)
        end = m_text.size();
    m_position = end;
    return m_text.mid(start, end - start);
}

SubstringSearch::SubstringSearch(QStringView needle)
    : m_needle(needle.toString()), m_border(size_t(needle.size()), 0) {
    qsizetype k = 0;
    for (qsizetype i = 1; i < needle.size(); ++i) {
        while (k > 0 && needle[i] != needle[k])
            k = m_border[size_t(k - 1)];
        if (needle[i] == needle[k])
            ++k;
        m_border[size_t(i)] = k;
    }
}

qsizetype SubstringSearch::find(QStringView text, qsizetype from, qsizetype to,
                                const std::function<bool(qsizetype)>& accept) {
    const qsizetype m = m_needle.size();
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, text.size());
    if (m == 0 || to - from < m)
        return -1;
    // k characters of the needle match the text before i; a mismatch falls back along the borders,
    // which together never take back more than the matches advanced.
    qsizetype k = 0;
    for (qsizetype i = from; i < to; ++i) {
        while (true) {
            ++m_comparisons;
            if (text[i] == m_needle[k]) {
                ++k;
                break;
            }
            if (k == 0)
                break;
            k = m_border[size_t(k - 1)];
        }
        if (k == m) {
            const qsizetype start = i + 1 - m;
            if (!accept || accept(start))
                return start;
            k = m_border[size_t(k - 1)];
        }
    }
    return -1;
}
