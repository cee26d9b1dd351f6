#include "docgen.h"

#include "extensions/extensions.h"
#include "platform/image.h"
#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/SharedMeasurer.h"
#include "tekst/Tekstiboks.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <array>
#include <vector>

namespace docgen {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

const std::array<const char*, 6> kStyles = {
    "Arial;15;0;0;0;0;0;0;#000000", "Arial;15;1;0;0;0;0;0;#000000", "Times New Roman;15;0;1;0;0;0;0;#202060",
    "Arial;22;1;0;1;0;0;0;#800000", "Arial;15;0;0;0;0;1;0;#000000", "Courier New;12;0;0;0;1;0;1;#006000",
};
const std::array<const char*, 4> kHighlights = {"#ffffff", "#ffff00", "#00ffff", "#ffffff"};
const std::array<QSizeF, 4> kPictureSizes = {QSizeF(48, 32), QSizeF(96, 64), QSizeF(30, 120),
                                             QSizeF(200, 40)};

const QStringList& vocabulary() {
    static const QStringList words = [] {
        const std::array<const char*, 24> syllables = {"ta", "le", "mi", "ko", "su",  "va",  "ne",  "ri",
                                                       "pa", "lu", "kä", "sõ", "mö",  "tü",  "ja",  "ol",
                                                       "ke", "ma", "in", "us", "sel", "kor", "tan", "vä"};
        Rng rng(7);
        QStringList list;
        for (int i = 0; i < 300; ++i) {
            QString word;
            const int n = 1 + rng.below(4);
            for (int s = 0; s < n; ++s)
                word += QString::fromUtf8(syllables[static_cast<size_t>(rng.below(int(syllables.size())))]);
            if (rng.below(10) == 0)
                word[0] = word[0].toUpper();
            if (rng.below(12) == 0)
                word += rng.below(2) ? u',' : u'.';
            list << word;
        }
        return list;
    }();
    return words;
}

QByteArray picturePng() {
    static const QByteArray png = [] {
        QImage image(24, 16, QImage::Format_RGBA8888);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(2, 2, 20, 12, QColor(40, 120, 200));
        painter.fillRect(6, 6, 8, 4, QColor(240, 200, 40));
        painter.end();
        return encodePng(image);
    }();
    return png;
}

// What the generator emits, in document order.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void open(int nJoondus) = 0;
    virtual void close() = 0;
    virtual void style(const char* strStyle) = 0;
    virtual void highlight(const char* strHex) = 0;
    virtual void run(const QString& strText) = 0;
    virtual void space() = 0;
    virtual void tab() = 0;
    virtual void end() = 0;
    virtual void picture(QSizeF cSize) = 0;
};

void generate(Shape shape, std::int64_t nElements, Sink& sink) {
    Rng rng(shape == Shape::Characters ? 11 : shape == Shape::Words ? 23 : 37);
    const QStringList& words = vocabulary();
    std::int64_t nRemaining = std::max<std::int64_t>(nElements, 1);
    int nStyle = 0;
    int nParagraph = 0;

    while (nRemaining > 0) {
        const int nAlign = shape == Shape::Characters ? 1
                           : shape == Shape::Words    ? 1 + nParagraph % 4
                                                      : 1 + rng.below(4);
        const int nTarget = shape == Shape::Characters ? 60 + rng.below(400) : 20 + rng.below(180);
        std::int64_t nSlots = std::min<std::int64_t>(nTarget, nRemaining) - 1;
        nRemaining -= nSlots + 1;
        ++nParagraph;

        sink.open(nAlign);
        // Styles and highlights count only inside a paragraph.
        if (nParagraph == 1) {
            sink.style(kStyles[0]);
            sink.highlight(kHighlights[0]);
        }
        while (nSlots > 0) {
            const QString& word = words[rng.below(int(words.size()))];
            if (shape == Shape::Characters) {
                for (qsizetype c = 0; c < word.size() && nSlots > 0; ++c, --nSlots)
                    sink.run(word.mid(c, 1));
            } else if (shape == Shape::Words) {
                sink.run(word);
                --nSlots;
            } else {
                if (rng.below(8) == 0) {
                    nStyle = rng.below(int(kStyles.size()));
                    sink.style(kStyles[static_cast<size_t>(nStyle)]);
                }
                if (rng.below(25) == 0)
                    sink.highlight(kHighlights[static_cast<size_t>(rng.below(int(kHighlights.size())))]);
                const int r = rng.below(100);
                if (r < 2) {
                    sink.picture(kPictureSizes[static_cast<size_t>(rng.below(int(kPictureSizes.size())))]);
                    --nSlots;
                } else if (r < 6 && word.size() > 1 && nSlots > 1) {
                    // A word whose halves have different styles: two touching runs.
                    const qsizetype nHalf = word.size() / 2;
                    sink.run(word.left(nHalf));
                    nStyle = (nStyle + 1) % int(kStyles.size());
                    sink.style(kStyles[static_cast<size_t>(nStyle)]);
                    sink.run(word.mid(nHalf));
                    nSlots -= 2;
                } else {
                    sink.run(word);
                    --nSlots;
                }
            }
            if (nSlots > 0) {
                if (shape == Shape::Mixed && rng.below(15) == 0)
                    sink.tab();
                else
                    sink.space();
                --nSlots;
            }
        }
        sink.end();
        sink.close();
    }
}

class TextSink : public Sink {
public:
    explicit TextSink(std::int64_t nElements) {
        m_strText.reserve(static_cast<qsizetype>(std::min<std::int64_t>(nElements, 1 << 26)) * 8);
        m_strText += QStringLiteral("VLM1\n");
    }
    void open(int nJoondus) override {
        m_strText += u'<';
        m_strText += QChar(u'0' + nJoondus);
    }
    void close() override { m_strText += QStringLiteral(">\n"); }
    void style(const char* strStyle) override {
        m_strText += QStringLiteral("{F ") + QString::fromUtf8(strStyle) + u'}';
    }
    void highlight(const char* strHex) override {
        m_strText += QStringLiteral("{E ") + QLatin1String(strHex) + u'}';
    }
    void run(const QString& strText) override { m_strText += QStringLiteral("{M ") + strText + u'}'; }
    void space() override { m_strText += QStringLiteral("{U}"); }
    void tab() override { m_strText += QStringLiteral("{T}"); }
    void end() override { m_strText += QStringLiteral("{N}"); }
    void picture(QSizeF cSize) override {
        m_strText += QStringLiteral("{P ") + m_strPictureData + u';' + formatShortestDouble(cSize.width()) +
                     u';' + formatShortestDouble(cSize.height()) + QStringLiteral(";}");
    }

    QString m_strText;

private:
    const QString m_strPictureData = encodeBase64(picturePng());
};

// Builds the elements as the reader would: styles kept once each in order of first use, the
// current style and highlight on every element, each measured with sharing as it is made.
class BuildSink : public Sink {
public:
    explicit BuildSink(double fSuum) : m_mootja(m_arrKiri, fSuum) {
        if (const auto decoded = decodeImage(picturePng()))
            m_bitmap = TooKujutis(*decoded);
    }
    void open(int nJoondus) override {
        m_loik = std::make_shared<LOIK>();
        m_loik->m_Joondus = LOIK::JOONDUSrawValue(nJoondus).value_or(JOONDUS::VASAKUL);
    }
    void close() override { m_arrLOIK.push_back(std::move(m_loik)); }
    void style(const char* strStyle) override {
        KIRI kiri;
        kiri.LooSonest(QString::fromUtf8(strStyle));
        const auto it =
            std::find_if(m_arrKiri.begin(), m_arrKiri.end(), [&](const KIRI& k) { return k.OnSama(kiri); });
        m_nKiri = it - m_arrKiri.begin();
        if (it == m_arrKiri.end())
            m_arrKiri.push_back(kiri);
    }
    void highlight(const char* strHex) override {
        m_clEsiletost = colourFromHexString(QLatin1String(strHex));
    }
    void run(const QString& strText) override {
        auto mark = std::make_unique<ELMARK>();
        mark->m_strTekst = strText;
        add(std::move(mark));
    }
    void space() override { add(std::make_unique<ELTUHIK>()); }
    void tab() override { add(std::make_unique<ELTAB>()); }
    void end() override { add(std::make_unique<ELENTER>()); }
    void picture(QSizeF cSize) override {
        auto pilt = std::make_unique<ELPILT>();
        if (!m_bitmap.isNull())
            pilt->m_Kujutis = m_bitmap;
        pilt->m_cOrginaalSuurus = cSize;
        add(std::move(pilt));
    }

    std::vector<KIRI> m_arrKiri;
    std::vector<std::shared_ptr<LOIK>> m_arrLOIK;

private:
    void add(std::unique_ptr<ELEMENT> e) {
        e->m_nKiri = m_nKiri;
        e->m_clEsiletost = m_clEsiletost;
        m_mootja.Mooda(*e);
        m_loik->m_arrELEMENT.push_back(std::move(e));
    }

    SharedMeasurer m_mootja;
    std::shared_ptr<LOIK> m_loik;
    qint64 m_nKiri = 0;
    std::optional<Colour> m_clEsiletost;
    QImage m_bitmap;
};

} // namespace

const char* shapeName(Shape shape) {
    switch (shape) {
    case Shape::Characters:
        return "chars";
    case Shape::Words:
        return "words";
    case Shape::Mixed:
        return "mixed";
    }
    return "?";
}

QString writeVlm(Shape shape, std::int64_t nElements) {
    TextSink sink(nElements);
    generate(shape, nElements, sink);
    return std::move(sink.m_strText);
}

void buildDocument(Tekstiboks& box, Shape shape, std::int64_t nElements) {
    BuildSink sink(box.m_fSuum);
    generate(shape, nElements, sink);
    box.m_arrJooksevKiri = std::move(sink.m_arrKiri);
    box.m_arrLOIK = std::move(sink.m_arrLOIK);
    box.m_arrRIDA.clear();
    box.m_arrRIDA.reserve(box.m_arrLOIK.size());
    for (const auto& loik : box.m_arrLOIK) {
        RIDA kohahoidja;
        kohahoidja.m_LOIK = loik;
        box.m_arrRIDA.push_back(std::move(kohahoidja));
    }
    box.m_nKursor = 0;
    box.m_nShiftKursor = 0;
    box.LooOtsitavSisu();
    box.ArvutaGeomeetria();
}

} // namespace docgen
