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
// Longer texts are measured afresh: they rarely repeat, and one of them would crowd out thousands
// of words.
constexpr qsizetype kLongestMeasured = 1024;

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

struct FaceStyles {
    bool bold = false;
    bool italic = false;
    bool boldItalic = false;
};

FaceStyles faceStyles(const QString& family) {
    static QHash<QString, FaceStyles> cache;
    if (auto it = cache.constFind(family); it != cache.constEnd())
        return *it;
    FaceStyles styles;
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

// Every face made so far, by its key and traits; a handful per family a document names.
struct Faces {
    QHash<QString, std::shared_ptr<const FontFace>> byKey;
    qsizetype nMeasuredUnits = 0;
    qsizetype nBudget = kMeasuredBudget;
};

// Kept for the whole run and never destroyed: the fonts in it must not outlive the font engine,
// which the application takes down before static destructors would run.
Faces& faces() {
    static Faces* const all = new Faces;
    return *all;
}

// The face `key` with the traits, made from `base` the first time it is asked for.
template <typename Base>
std::shared_ptr<const FontFace> faceFor(const QString& key, bool bold, bool italic, Base&& base) {
    const QString full = key + (bold ? u'B' : u'-') + (italic ? u'I' : u'-');
    std::shared_ptr<const FontFace>& face = faces().byKey[full];
    if (!face)
        face = std::make_shared<const FontFace>(base(), key, bold, italic);
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

} // namespace

FontFace::FontFace(const QFont& base, QString key, bool bold, bool italic)
    : m_key(std::move(key)), m_bold(bold), m_italic(italic), m_font(withTraits(base, bold, italic)),
      m_referenceFont(atReferenceSize(m_font)), m_metrics(m_referenceFont, &referenceDevice()) {
    m_lineSpacing = m_metrics.ascent() + m_metrics.descent() + m_metrics.leading();
    m_descent = m_metrics.descent();
}

const QString& FontFace::family() const {
    if (m_family.isNull())
        m_family = QFontInfo(m_referenceFont).family();
    return m_family;
}

double FontFace::advance(const QString& text) const {
    if (text.size() > kLongestMeasured)
        return m_metrics.horizontalAdvance(text);
    if (const auto it = m_advances.constFind(text); it != m_advances.constEnd())
        return *it;
    const double width = m_metrics.horizontalAdvance(text);
    Faces& all = faces();
    const qsizetype units = std::max<qsizetype>(text.size(), 1);
    if (all.nMeasuredUnits + units > all.nBudget) {
        for (const auto& face : std::as_const(all.byKey))
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
    std::optional<QString> family = listedFamily(name);
    if (!family)
        family = metricAlias(name);
    if (!family)
        return std::nullopt;
    return Font::make(
        faceFor(QStringLiteral("name:") + *family, false, false, [&] { return baseFont(*family); }), size);
}

Font systemFontOfSize(double size) {
    return Font::make(faceFor(QStringLiteral("system"), false, false,
                              [] {
                                  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
                                  font.setHintingPreference(QFont::PreferNoHinting);
                                  font.setStyleStrategy(
                                      QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferAntialias));
                                  return font;
                              }),
                      size);
}

Font convertFontToHaveTrait(const Font& font, int trait) {
    const FontFace* face = font.m_face.get();
    if (!face)
        return font;
    const FaceStyles styles = faceStyles(face->family());
    bool bold = face->m_bold;
    bool italic = face->m_italic;
    // Only real faces count: the engine would otherwise embolden or slant the plain face.
    if ((trait & BoldFontMask) && !bold && (italic ? styles.boldItalic : styles.bold))
        bold = true;
    if ((trait & ItalicFontMask) && !italic && (bold ? styles.boldItalic : styles.italic))
        italic = true;
    if (bold == face->m_bold && italic == face->m_italic)
        return font;
    return Font::make(faceFor(face->m_key, bold, italic, [&] { return face->m_font; }), font.size());
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

qsizetype measuredTextCount() {
    qsizetype count = 0;
    for (const auto& face : std::as_const(faces().byKey))
        count += face->measuredCount();
    return count;
}

qsizetype setMeasuredTextBudget(qsizetype nCodeUnits) {
    Faces& all = faces();
    const qsizetype previous = all.nBudget;
    all.nBudget = std::max<qsizetype>(nCodeUnits, 0);
    if (all.nMeasuredUnits > all.nBudget) {
        for (const auto& face : std::as_const(all.byKey))
            face->forgetMeasured();
        all.nMeasuredUnits = 0;
    }
    return previous;
}
