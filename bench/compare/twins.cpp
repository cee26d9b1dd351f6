#include "twins.h"

#include "platform/image.h"

#include <QImage>
#include <QPainter>
#include <QStringList>
#include <array>
#include <vector>

namespace twins {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t nSeed) : m_nState(nSeed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_nState += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int nLow, int nHigh) { return nLow + below(nHigh - nLow + 1); }

private:
    std::uint64_t m_nState;
};

struct Style {
    const char* face;
    int size;
    bool bold, italic, underline, strike, superscript, subscript;
    const char* colour;
};

// Every flag appears, alone and together, in three faces and four sizes.
constexpr std::array<Style, 8> kStyles = {{
    {"Arial", 15, false, false, false, false, false, false, "#000000"},
    {"Arial", 15, true, false, false, false, false, false, "#000000"},
    {"Times New Roman", 16, false, true, false, false, false, false, "#202060"},
    {"Arial", 22, true, false, true, false, false, false, "#800000"},
    {"Arial", 15, false, false, false, false, true, false, "#000000"},
    {"Courier New", 13, false, false, false, true, false, false, "#006000"},
    {"Times New Roman", 15, true, true, false, false, false, true, "#404040"},
    {"Arial", 12, false, false, true, true, false, false, "#0000a0"},
}};
// White twice: most text has no highlight.
constexpr std::array<const char*, 5> kHighlights = {"#ffffff", "#ffffff", "#ffff00", "#c0ffc0", "#ffd0e0"};
constexpr std::array<std::array<int, 2>, 4> kPictureSizes = {{{48, 32}, {96, 64}, {30, 120}, {200, 40}}};

QString vlmStyle(const Style& s) {
    return QStringLiteral("{F %1;%2;%3;%4;%5;%6;%7;%8;%9}")
        .arg(QLatin1String(s.face))
        .arg(s.size)
        .arg(int(s.bold))
        .arg(int(s.italic))
        .arg(int(s.underline))
        .arg(int(s.strike))
        .arg(int(s.superscript))
        .arg(int(s.subscript))
        .arg(QLatin1String(s.colour));
}

QString htmlSpan(const Style& s, const char* highlight) {
    QString css = QStringLiteral("font-family:'%1'; font-size:%2px; color:%3")
                      .arg(QLatin1String(s.face))
                      .arg(s.size)
                      .arg(QLatin1String(s.colour));
    if (s.bold)
        css += QStringLiteral("; font-weight:700");
    if (s.italic)
        css += QStringLiteral("; font-style:italic");
    if (s.underline || s.strike) {
        css += QStringLiteral("; text-decoration:");
        if (s.underline)
            css += QStringLiteral(" underline");
        if (s.strike)
            css += QStringLiteral(" line-through");
    }
    if (s.superscript)
        css += QStringLiteral("; vertical-align:super");
    if (s.subscript)
        css += QStringLiteral("; vertical-align:sub");
    // Opaque white is no highlight in a VLM1 document, so the twin paints no background either.
    if (qstrcmp(highlight, "#ffffff") != 0)
        css += QStringLiteral("; background-color:") + QLatin1String(highlight);
    return QStringLiteral("<span style=\"") + css + QStringLiteral("\">");
}

QStringList vocabulary(Rng& rng) {
    const std::array<const char*, 24> syllables = {"ta", "le", "mi", "ko", "su",  "va",  "ne",  "ri",
                                                   "pa", "lu", "kä", "sõ", "mö",  "tü",  "ja",  "ol",
                                                   "ke", "ma", "in", "us", "sel", "kor", "tan", "vä"};
    QStringList words;
    for (int i = 0; i < 400; ++i) {
        QString word;
        const int n = rng.between(1, 4);
        for (int s = 0; s < n; ++s)
            word += QString::fromUtf8(syllables[size_t(rng.below(int(syllables.size())))]);
        if (rng.below(10) == 0)
            word[0] = word[0].toUpper();
        if (rng.below(12) == 0)
            word += rng.below(2) ? u',' : u'.';
        words << word;
    }
    return words;
}

// A few distinct small pictures, as base64 PNG.
std::vector<QString> pictures(Rng& rng) {
    std::vector<QString> arrPildid;
    for (int i = 0; i < 6; ++i) {
        QImage image(64, 48, QImage::Format_RGBA8888);
        image.fill(QColor(rng.below(256), rng.below(256), rng.below(256)));
        QPainter painter(&image);
        for (int r = 0; r < 5; ++r)
            painter.fillRect(rng.below(56), rng.below(40), rng.between(4, 30), rng.between(4, 20),
                             QColor(rng.below(256), rng.below(256), rng.below(256)));
        painter.end();
        arrPildid.push_back(encodeBase64(encodePng(image)));
    }
    return arrPildid;
}

} // namespace

const char* runsName(Runs runs) {
    return runs == Runs::Characters ? "chars" : "words";
}

Twin generate(const Plan& plan, Runs runs) {
    Rng rng(plan.nSeed);
    const QStringList words = vocabulary(rng);
    const std::vector<QString> arrPildid = pictures(rng);

    Twin twin;
    QString& vlm = twin.strVlm;
    QString& html = twin.strHtml;
    const qsizetype nVaru = qsizetype(std::min<std::int64_t>(plan.nCharacters, 1 << 26));
    vlm.reserve(nVaru * (runs == Runs::Characters ? 6 : 3));
    html.reserve(nVaru * 2);
    vlm += QStringLiteral("VLM1\n");
    html += QStringLiteral("<html><body>");

    size_t nStyle = 0;
    size_t nHighlight = 0;
    int nToStyle = rng.between(5, 40);
    int nToHighlight = rng.between(20, 200);
    std::int64_t nNextPicture = plan.nCharactersPerPicture;
    const std::array<const char*, 4> htmlAlign = {"left", "center", "right", "justify"};

    while (twin.nCharacters < plan.nCharacters) {
        const int nAlign = rng.between(1, 4);
        const int nWords = rng.between(20, 180);
        ++twin.nParagraphs;
        vlm += u'<';
        vlm += QChar(u'0' + nAlign);
        if (twin.nParagraphs == 1)
            vlm += vlmStyle(kStyles[nStyle]) + QStringLiteral("{E ") +
                   QLatin1String(kHighlights[nHighlight]) + u'}';
        // Line breaks stand between paragraphs only: one after the last would read as a blank.
        html +=
            QStringLiteral("\n<p style=\"margin:0\" align=\"%1\">").arg(QLatin1String(htmlAlign[nAlign - 1]));
        const bool bSpanPerRun = plan.spans == HtmlSpans::PerRun;
        // A piece of text in the current style and highlight.
        const auto htmlText = [&](const QString& strText) {
            if (bSpanPerRun)
                html += htmlSpan(kStyles[nStyle], kHighlights[nHighlight]) + strText.toHtmlEscaped() +
                        QStringLiteral("</span>");
            else
                html += strText.toHtmlEscaped();
        };
        if (!bSpanPerRun)
            html += htmlSpan(kStyles[nStyle], kHighlights[nHighlight]);

        for (int w = 0; w < nWords && twin.nCharacters < plan.nCharacters; ++w) {
            bool bNewSpan = false;
            if (--nToStyle == 0) {
                nToStyle = rng.between(5, 40);
                nStyle = size_t(rng.below(int(kStyles.size())));
                vlm += vlmStyle(kStyles[nStyle]);
                bNewSpan = true;
            }
            if (--nToHighlight == 0) {
                nToHighlight = rng.between(20, 200);
                nHighlight = size_t(rng.below(int(kHighlights.size())));
                vlm += QStringLiteral("{E ") + QLatin1String(kHighlights[nHighlight]) + u'}';
                bNewSpan = true;
            }
            if (bNewSpan && !bSpanPerRun)
                html += QStringLiteral("</span>") + htmlSpan(kStyles[nStyle], kHighlights[nHighlight]);
            if (w > 0) {
                vlm += QStringLiteral("{U}");
                htmlText(QStringLiteral(" "));
                ++twin.nCharacters;
                ++twin.nElements;
            }
            if (twin.nCharacters >= nNextPicture) {
                nNextPicture += plan.nCharactersPerPicture;
                const QString& strPilt = arrPildid[size_t(rng.below(int(arrPildid.size())))];
                const auto& size = kPictureSizes[size_t(rng.below(int(kPictureSizes.size())))];
                vlm += QStringLiteral("{P %1;%2;%3;}").arg(strPilt).arg(size[0]).arg(size[1]);
                html += QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\">")
                            .arg(strPilt)
                            .arg(size[0])
                            .arg(size[1]);
                ++twin.nPictures;
                ++twin.nElements;
            }
            const QString& word = words[rng.below(int(words.size()))];
            if (runs == Runs::Words) {
                vlm += QStringLiteral("{M ") + word + u'}';
                htmlText(word);
                ++twin.nElements;
            } else {
                for (const QChar c : word) {
                    vlm += QStringLiteral("{M ");
                    vlm += c;
                    vlm += u'}';
                    htmlText(QString(c));
                }
                twin.nElements += word.size();
            }
            twin.nCharacters += word.size();
            ++twin.nWords;
        }
        vlm += QStringLiteral("{N}>\n");
        html += bSpanPerRun ? QStringLiteral("</p>") : QStringLiteral("</span></p>");
        ++twin.nElements;
    }
    html += QStringLiteral("</body></html>");
    return twin;
}

} // namespace twins
