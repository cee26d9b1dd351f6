#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

// Lenient conversions of text to numbers and truth values, as documents and typed values need them.

// The decimal floating-point number at the start of the text, after leading white space: an optional
// sign, digits with an optional point, an optional exponent. 0.0 when the text does not begin with a
// number; whatever follows the number is ignored. Overflow gives +/-infinity, underflow 0.
double lenientDouble(QStringView text);

// True when the text, after leading white space and an optional sign followed by zeros, begins with
// "Y", "y", "T", "t" or a digit 1 to 9; false otherwise.
bool lenientBool(QStringView text);

// Scans a hexadecimal number starting at `start`: skips white space, accepts an optional 0x or 0X,
// reads the longest run of hexadecimal digits. Saturates at 0xFFFFFFFF. 0 when there are no digits.
quint32 scanHexInt(QStringView text, qsizetype start = 0);

// The pieces of a text split at every `separator`, empty pieces dropped, taken one at a time: reading
// the first few pieces of a text costs only what reaches them, however many pieces follow.
class NonEmptyPieces {
public:
    NonEmptyPieces(QStringView text, QChar separator) : m_text(text), m_separator(separator) {}

    // The next non-empty piece; nothing when the text holds no more.
    std::optional<QStringView> next();
    // How far the text has been walked: the end of the last piece returned (0 before the first).
    qsizetype position() const { return m_position; }

private:
    QStringView m_text;
    QChar m_separator;
    qsizetype m_position = 0;
};

// Finds a text in others in one pass over each (Knuth, Morris and Pratt): searching afresh from every
// position could cost the text's length times the sought text's, which a typed query of thousands of
// "a" over a document of millions of "a" makes minutes.
class SubstringSearch {
public:
    explicit SubstringSearch(QStringView needle);

    // The start of the first occurrence lying wholly within text[from, to) for which accept(start)
    // holds (every occurrence when accept is empty); -1 when there is none.
    qsizetype find(QStringView text, qsizetype from, qsizetype to,
                   const std::function<bool(qsizetype)>& accept = {});

    // Characters compared by the searches so far.
    qint64 comparisons() const { return m_comparisons; }

private:
    QString m_needle;
    // m_border[i]: the length of the longest proper prefix of the needle's first i + 1 characters that
    // is also their suffix.
    std::vector<qsizetype> m_border;
    qint64 m_comparisons = 0;
};
