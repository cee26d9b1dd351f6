#include "platform/unicode.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct Mark {
    quint8 combiningClass;
    char32_t ucs4;
};

void appendUcs4(QString& out, char32_t ucs4) {
    if (QChar::requiresSurrogates(ucs4)) {
        out += QChar(QChar::highSurrogate(ucs4));
        out += QChar(QChar::lowSurrogate(ucs4));
    } else {
        out += QChar(char16_t(ucs4));
    }
}

// Puts a stretch of combining marks into canonical order: by combining class, marks of one class
// keeping their order. Short stretches are sorted in place; long ones are counted out by class.
void orderMarks(std::vector<Mark>& marks, std::vector<Mark>& scratch) {
    if (marks.size() < 2)
        return;
    if (marks.size() <= 16) {
        std::stable_sort(marks.begin(), marks.end(),
                         [](const Mark& a, const Mark& b) { return a.combiningClass < b.combiningClass; });
        return;
    }
    std::array<size_t, 257> start{};
    for (const Mark& mark : marks)
        ++start[mark.combiningClass + 1];
    for (size_t c = 1; c < start.size(); ++c)
        start[c] += start[c - 1];
    scratch.resize(marks.size());
    for (const Mark& mark : marks)
        scratch[start[mark.combiningClass]++] = mark;
    marks.swap(scratch);
}

class Decomposer {
public:
    explicit Decomposer(qsizetype sizeHint) { m_out.reserve(sizeHint); }

    void add(char32_t ucs4) {
        if (QChar::decompositionTag(ucs4) == QChar::Canonical) {
            // Decompositions are short and nest only a few levels deep.
            const QString parts = QChar::decomposition(ucs4);
            for (qsizetype i = 0; i < parts.size(); ++i) {
                char32_t part = parts[i].unicode();
                if (QChar::isHighSurrogate(part) && i + 1 < parts.size() && parts[i + 1].isLowSurrogate())
                    part = QChar::surrogateToUcs4(char16_t(part), parts[++i].unicode());
                add(part);
            }
            return;
        }
        const int combiningClass = QChar::combiningClass(ucs4);
        if (combiningClass == 0) {
            flush();
            appendUcs4(m_out, ucs4);
        } else {
            m_marks.push_back({quint8(combiningClass), ucs4});
        }
    }

    QString finish() {
        flush();
        return std::move(m_out);
    }

private:
    void flush() {
        orderMarks(m_marks, m_scratch);
        for (const Mark& mark : m_marks)
            appendUcs4(m_out, mark.ucs4);
        m_marks.clear();
    }

    QString m_out;
    std::vector<Mark> m_marks;
    std::vector<Mark> m_scratch;
};

} // namespace

QString canonicalDecomposition(QStringView text) {
    // Below U+00C0 nothing decomposes and nothing combines.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0xC0; }))
        return text.toString();
    Decomposer decomposer(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ucs4 = text[i].unicode();
        // A lone surrogate stands for itself, as it does in Qt's normalization.
        if (QChar::isHighSurrogate(ucs4) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ucs4 = QChar::surrogateToUcs4(char16_t(ucs4), text[++i].unicode());
        decomposer.add(ucs4);
    }
    return decomposer.finish();
}
