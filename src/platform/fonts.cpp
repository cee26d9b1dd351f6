#include "platform/fonts.h"

#include "platform/fontface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <cmath>
#include <fontconfig/fontconfig.h>

namespace {

// Sizes below this show nothing; a font engine asked for them may fail.
constexpr double kMinimumSize = 0.01;
// The largest em handed to the font engine; larger sizes are scaled from it. Glyph caches and
// rasterisers misbehave far beyond this.
constexpr double kMaximumEngineSize = 2000.0;
// Glyph advances come rounded to 1/64 pixel at the size they are asked for; taken at a large size
// and scaled, they stay proportional to the size to well within a thousandth of a point.
constexpr double kReferenceSize = FontFace::kReferenceSize;
// The measured widths the faces keep, in code units of text over all faces: a document's distinct
// texts fit many times over, and a long session of documents cannot grow it without bound.
constexpr qsizetype kMeasuredBudget = 8 * 1024 * 1024;
// The advance a short text may have at the reference size before Qt's 26.6 fixed point, which
// holds up to 2^25, is no longer trusted.
constexpr double kLargestShapedAdvance = 1 << 24;
// Characters on either side of a cut from which what shaping does across it is measured: kerning
// pairs, ligatures and joining forms reach across only a few.
constexpr qsizetype kSeamReach = 8;

// Fonts are sized and measured against a 96 dpi device so that a size in points is exactly that
// many logical pixels, independent of the screen.
const QImage& referenceDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return device;
}

// The point size that gives an em of `pixels` logical pixels on `device`.
double pointSizeFor(double pixels, const QPaintDevice& device) {
    return pixels * 72.0 / device.logicalDpiY();
}

QString foldedName(const QString& name) {
    QString folded = name.toCaseFolded();
    folded.remove(u' ');
    return folded;
}

// The installed family fontconfig lists under `name` (compared as fontconfig does, ignoring case
// and blanks), spelled as fontconfig stores it.
std::optional<QString> listedFamily(const QString& name) {
    if (name.trimmed().isEmpty())
        return std::nullopt;
    static QHash<QString, std::optional<QString>> cache;
    if (auto it = cache.constFind(name); it != cache.constEnd())
        return *it;

    std::optional<QString> found;
    const QByteArray utf8 = name.toUtf8();
    if (!utf8.contains('\0')) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.constData()));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
        if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects)) {
            const QString wanted = foldedName(name);
            for (int i = 0; i < fonts->nfont && !found; ++i) {
                FcChar8* value = nullptr;
                for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &value) == FcResultMatch;
                     ++n) {
                    const QString family = QString::fromUtf8(reinterpret_cast<const char*>(value));
                    if (foldedName(family) == wanted) {
                        found = family;
                        break;
                    }
                }
            }
            FcFontSetDestroy(fonts);
        }
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }
    cache.insert(name, found);
    return found;
}

// Faces documents commonly name, and the installed faces with the same metrics.
std::optional<QString> metricAlias(const QString& name) {
    static const QHash<QString, QString> aliases = {
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("timesnewroman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("couriernew"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
    };
    const auto it = aliases.constFind(foldedName(name));
    if (it == aliases.constEnd())
        return std::nullopt;
    return listedFamily(*it);
}

FontFace::Styles faceStyles(const QString& family) {
    static QHash<QString, FontFace::Styles> cache;
    if (auto it = cache.constFind(family); it != cache.constEnd())
        return *it;
    FontFace::Styles styles;
    for (const QString& style : QFontDatabase::styles(family)) {
        const bool bold = QFontDatabase::bold(family, style);
        // Oblique faces are slanted variants too; QFontDatabase::italic() answers only for "Italic".
        const bool italic = QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal;
        styles.bold |= bold && !italic;
        styles.italic |= italic && !bold;
        styles.boldItalic |= bold && italic;
    }
    cache.insert(family, styles);
    return styles;
}

QFont baseFont(const QString& family) {
    QFont font(family);
    font.setFamilies({family});
    // Unhinted outlines keep widths proportional to the size, so zooming scales lines exactly.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferAntialias));
    font.setKerning(true);
    return font;
}

// Every plain face made so far, by the key it was asked by (the family for named faces); the
// variants with traits hang off their plain face. A handful per family a document names.
struct Faces {
    QHash<QString, std::shared_ptr<const FontFace>> byKey;
    // Every face, plain or not, for dropping their measured widths together.
    std::vector<const FontFace*> all;
    // The plain face each face name a style gives resolves to, or null for an unknown name.
    QHash<QString, std::shared_ptr<const FontFace>> byName;
    qsizetype nMeasuredUnits = 0;
    qsizetype nBudget = kMeasuredBudget;
};

// Kept for the whole run and never destroyed: the fonts in it must not outlive the font engine,
// which the application takes down before static destructors would run.
Faces& faces() {
    static Faces* const all = new Faces;
    return *all;
}

// The plain face `key`, made from `base` the first time it is asked for.
template <typename Base> std::shared_ptr<const FontFace> plainFace(const QString& key, Base&& base) {
    std::shared_ptr<const FontFace>& face = faces().byKey[key];
    if (!face) {
        face = std::make_shared<const FontFace>(base(), key, false, false);
        faces().all.push_back(face.get());
    }
    return face;
}

// Traits are only ever added; a trait left unset stays unset, as the font engine expects of a plain face.
QFont withTraits(QFont font, bool bold, bool italic) {
    if (bold)
        font.setBold(true);
    if (italic)
        font.setItalic(true);
    return QFont(font, &referenceDevice());
}

QFont atReferenceSize(QFont font) {
    font.setPointSizeF(pointSizeFor(kReferenceSize, referenceDevice()));
    return font;
}

char32_t codePointAt(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    return c.unicode();
}

// Whether shaping keeps the character at i to the one before it: a combining mark, a joiner, a
// variation selector, or the second half of a surrogate pair.
bool holdsToPrevious(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isLowSurrogate())
        return true;
    const char32_t ucs = codePointAt(text, i);
    if (QChar::isMark(ucs) || ucs == 0x200C || ucs == 0x200D || (ucs >= 0xFE00 && ucs <= 0xFE0F) ||
        (ucs >= 0xE0100 && ucs <= 0xE01EF))
        return true;
    return text[i - 1].unicode() == 0x200D;
}

// The end of the piece that starts at `start`: after a space in the last half of the longest piece,
// or else between two characters that do not hold together, or else (a stretch of combining
// characters longer than half a piece) anywhere outside a surrogate pair.
qsizetype pieceEnd(QStringView text, qsizetype start) {
    const qsizetype limit = start + kTextPieceLength;
    if (limit >= text.size())
        return text.size();
    const qsizetype lowest = start + kTextPieceLength / 2;
    for (qsizetype p = limit; p > lowest; --p) {
        if (text[p - 1] == u' ' && !holdsToPrevious(text, p))
            return p;
    }
    for (qsizetype p = limit; p > lowest; --p) {
        if (!holdsToPrevious(text, p))
            return p;
    }
    return text[limit].isLowSurrogate() && text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

// A window of at most kSeamReach code units ending at `end` (or starting at `start`), not beginning
// or ending inside a surrogate pair.
qsizetype seamStart(QStringView text, qsizetype end, qsizetype floor) {
    qsizetype start = std::max(end - kSeamReach, floor);
    if (start > floor && text[start].isLowSurrogate())
        --start;
    return start;
}

qsizetype seamEnd(QStringView text, qsizetype start, qsizetype ceiling) {
    qsizetype end = std::min(start + kSeamReach, ceiling);
    if (end < ceiling && text[end].isLowSurrogate())
        ++end;
    return end;
}

} // namespace

FontFace::FontFace(const QFont& base, QString key, bool bold, bool italic, const FontFace* plain)
    : m_key(std::move(key)), m_bold(bold), m_italic(italic), m_font(withTraits(base, bold, italic)),
      m_referenceFont(atReferenceSize(m_font)), m_metrics(m_referenceFont, &referenceDevice()),
      m_plain(plain ? plain : this) {
    m_lineSpacing = m_metrics.ascent() + m_metrics.descent() + m_metrics.leading();
    m_descent = m_metrics.descent();
}

std::shared_ptr<const FontFace> FontFace::variant(bool bold, bool italic) const {
    if (m_plain != this)
        return m_plain->variant(bold, italic);
    if (!bold && !italic)
        return shared_from_this();
    std::shared_ptr<const FontFace>& face = m_variants[int(bold) + 2 * int(italic)];
    if (!face) {
        face = std::make_shared<const FontFace>(m_font, m_key, bold, italic, this);
        faces().all.push_back(face.get());
    }
    return face;
}

const FontFace::Styles& FontFace::styles() const {
    if (!m_styles)
        m_styles = faceStyles(family());
    return *m_styles;
}

const QString& FontFace::family() const {
    if (m_family.isNull())
        m_family = QFontInfo(m_referenceFont).family();
    return m_family;
}

double FontFace::advance(const QString& text) const {
    // Long texts rarely repeat, and one of them would crowd out thousands of words: their advance
    // is summed from pieces, and the caller keeps those.
    if (text.size() > kTextPieceLength)
        return measurePieces(text)->total();
    if (const auto it = m_advances.constFind(text); it != m_advances.constEnd())
        return *it;
    const double width = shapedAdvance(text);
    Faces& all = faces();
    const qsizetype units = std::max<qsizetype>(text.size(), 1);
    if (all.nMeasuredUnits + units > all.nBudget) {
        for (const FontFace* face : all.all)
            face->forgetMeasured();
        all.nMeasuredUnits = 0;
    }
    // An empty text counts too, so that the budget bounds the number of entries as well.
    if (units <= all.nBudget) {
        m_advances.insert(text, width);
        all.nMeasuredUnits += units;
    }
    return width;
}

double FontFace::shapedAdvance(QStringView text) const {
    const double width = m_metrics.horizontalAdvance(text.toString());
    if ((width >= 0.0 && width <= kLargestShapedAdvance) || text.size() < 2)
        return width;
    qsizetype half = text.size() / 2;
    if (text[half].isLowSurrogate())
        ++half;
    if (half >= text.size())
        return width;
    const QStringView left = text.first(half);
    const QStringView right = text.sliced(half);
    const qsizetype from = seamStart(text, half, 0);
    const qsizetype to = seamEnd(text, half, text.size());
    return shapedAdvance(left) + shapedAdvance(right) + shapedAdvance(text.sliced(from, to - from)) -
           shapedAdvance(text.sliced(from, half - from)) - shapedAdvance(text.sliced(half, to - half));
}

std::shared_ptr<const TextPieces> FontFace::measurePieces(const QString& text) const {
    auto pieces = std::make_shared<TextPieces>();
    pieces->face = this;
    pieces->text = text;
    pieces->length = text.size();
    const QStringView view(text);
    // Equal pieces and equal seams are shaped once: a run of one repeated character, or of a letter
    // and its marks, costs little more than one piece.
    QHash<QStringView, double> shaped;
    const auto advanceOf = [&](qsizetype from, qsizetype to) {
        const QStringView piece = view.sliced(from, to - from);
        if (const auto it = shaped.constFind(piece); it != shaped.constEnd())
            return *it;
        const double width = shapedAdvance(piece);
        shaped.insert(piece, width);
        return width;
    };

    double total = 0.0;
    qsizetype start = 0;
    qsizetype previousStart = 0;
    while (start < view.size()) {
        const qsizetype end = pieceEnd(view, start);
        if (start > 0) {
            // What shaping does across the cut belongs to the piece after it, where the glyphs it
            // moves are drawn.
            const qsizetype from = seamStart(view, start, previousStart);
            const qsizetype to = seamEnd(view, start, end);
            total += advanceOf(from, to) - advanceOf(from, start) - advanceOf(start, to);
        }
        pieces->starts.push_back(start);
        pieces->advances.push_back(total);
        total += advanceOf(start, end);
        previousStart = start;
        start = end;
    }
    pieces->advances.push_back(total);
    return pieces;
}

Font Font::make(std::shared_ptr<const FontFace> face, double size) {
    Font result;
    result.m_face = std::move(face);
    if (!(size >= kMinimumSize) || !std::isfinite(size))
        return result;
    result.m_empty = false;
    result.m_size = size;
    result.m_referenceScale = size / kReferenceSize;
    return result;
}

bool Font::isBold() const {
    return m_face && m_face->m_font.bold();
}

bool Font::isItalic() const {
    return m_face && m_face->m_font.italic();
}

QString Font::family() const {
    return m_face ? m_face->family() : QString();
}

QFont Font::qfont() const {
    if (!m_face)
        return QFont();
    QFont font = m_face->m_font;
    if (!m_empty)
        font.setPointSizeF(pointSizeFor(std::min(m_size, kMaximumEngineSize), referenceDevice()));
    return font;
}

QFont Font::referenceFontForDevice(const QPaintDevice* device) const {
    if (!m_face)
        return QFont();
    if (!device || m_empty || device->logicalDpiY() <= 0)
        return m_face->m_referenceFont;
    QFont font(m_face->m_referenceFont, device);
    font.setPointSizeF(pointSizeFor(kReferenceSize, *device));
    return font;
}

std::optional<Font> fontWithName(const QString& name, double size) {
    // Every style of a document names its face; the answer is kept by name, unknown names too.
    Faces& all = faces();
    auto it = all.byName.constFind(name);
    if (it == all.byName.constEnd()) {
        std::optional<QString> family = listedFamily(name);
        if (!family)
            family = metricAlias(name);
        std::shared_ptr<const FontFace> face;
        if (family)
            face = plainFace(QStringLiteral("name:") + *family, [&] { return baseFont(*family); });
        it = all.byName.insert(name, std::move(face));
    }
    if (!*it)
        return std::nullopt;
    return Font::make(*it, size);
}

Font systemFontOfSize(double size) {
    static const std::shared_ptr<const FontFace> face = plainFace(QStringLiteral("system"), [] {
        QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferAntialias));
        return font;
    });
    return Font::make(face, size);
}

Font convertFontToHaveTrait(const Font& font, int trait) {
    const FontFace* face = font.m_face.get();
    if (!face)
        return font;
    const FontFace::Styles& styles = face->styles();
    bool bold = face->m_bold;
    bool italic = face->m_italic;
    // Only real faces count: the engine would otherwise embolden or slant the plain face.
    if ((trait & BoldFontMask) && !bold && (italic ? styles.boldItalic : styles.bold))
        bold = true;
    if ((trait & ItalicFontMask) && !italic && (bold ? styles.boldItalic : styles.italic))
        italic = true;
    if (bold == face->m_bold && italic == face->m_italic)
        return font;
    Font result = font;
    result.m_face = face->variant(bold, italic);
    return result;
}

double fontDescender(const Font& font) {
    if (font.isEmpty())
        return 0.0;
    return -font.face()->m_descent * font.referenceScale();
}

QSizeF textSize(const QString& text, const Font& font) {
    if (font.isEmpty())
        return {0.0, 0.0};
    const FontFace& face = *font.face();
    return {face.advance(text) * font.referenceScale(), face.m_lineSpacing * font.referenceScale()};
}

TextMeasure measureText(const QString& text, const Font& font,
                        const std::shared_ptr<const TextPieces>& known) {
    if (font.isEmpty())
        return {};
    const FontFace& face = *font.face();
    const double height = face.m_lineSpacing * font.referenceScale();
    if (text.size() <= kTextPieceLength)
        return {QSizeF(face.advance(text) * font.referenceScale(), height), nullptr};
    std::shared_ptr<const TextPieces> pieces =
        known && known->face == &face && known->text == text ? known : face.measurePieces(text);
    return {QSizeF(pieces->total() * font.referenceScale(), height), std::move(pieces)};
}

qsizetype measuredTextCount() {
    qsizetype count = 0;
    for (const FontFace* face : faces().all)
        count += face->measuredCount();
    return count;
}

qsizetype setMeasuredTextBudget(qsizetype nCodeUnits) {
    Faces& all = faces();
    const qsizetype previous = all.nBudget;
    all.nBudget = std::max<qsizetype>(nCodeUnits, 0);
    if (all.nMeasuredUnits > all.nBudget) {
        for (const FontFace* face : all.all)
            face->forgetMeasured();
        all.nMeasuredUnits = 0;
    }
    return previous;
}
