#include "platform/fonts.h"

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
constexpr double kReferenceSize = 1000.0;

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

} // namespace

Font Font::make(QFont font, double size) {
    Font result;
    result.m_font = QFont(font, &referenceDevice());
    result.m_referenceFont = result.m_font;
    if (!(size >= kMinimumSize) || !std::isfinite(size))
        return result;
    result.m_empty = false;
    result.m_size = size;
    const double capped = std::min(size, kMaximumEngineSize);
    result.m_font.setPointSizeF(pointSizeFor(capped, referenceDevice()));
    result.m_referenceScale = size / kReferenceSize;
    result.m_referenceFont.setPointSizeF(pointSizeFor(kReferenceSize, referenceDevice()));
    return result;
}

QString Font::family() const {
    return QFontInfo(m_font).family();
}

QFont Font::referenceFontForDevice(const QPaintDevice* device) const {
    if (!device || m_empty || device->logicalDpiY() <= 0)
        return m_referenceFont;
    QFont font(m_referenceFont, device);
    font.setPointSizeF(pointSizeFor(kReferenceSize, *device));
    return font;
}

std::optional<Font> fontWithName(const QString& name, double size) {
    std::optional<QString> family = listedFamily(name);
    if (!family)
        family = metricAlias(name);
    if (!family)
        return std::nullopt;
    return Font::make(baseFont(*family), size);
}

Font systemFontOfSize(double size) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferAntialias));
    return Font::make(font, size);
}

Font convertFontToHaveTrait(const Font& font, int trait) {
    const FaceStyles styles = faceStyles(QFontInfo(font.m_font).family());
    Font result = font;
    // Only real faces count: the engine would otherwise embolden or slant the plain face.
    if ((trait & BoldFontMask) && !result.m_font.bold() &&
        (result.m_font.italic() ? styles.boldItalic : styles.bold)) {
        result.m_font.setBold(true);
        result.m_referenceFont.setBold(true);
    }
    if ((trait & ItalicFontMask) && !result.m_font.italic() &&
        (result.m_font.bold() ? styles.boldItalic : styles.italic)) {
        result.m_font.setItalic(true);
        result.m_referenceFont.setItalic(true);
    }
    return result;
}

double fontDescender(const Font& font) {
    if (font.isEmpty())
        return 0.0;
    return -QFontMetricsF(font.m_referenceFont, &referenceDevice()).descent() * font.m_referenceScale;
}

QSizeF textSize(const QString& text, const Font& font) {
    if (font.isEmpty())
        return {0.0, 0.0};
    const QFontMetricsF metrics(font.m_referenceFont, &referenceDevice());
    const double height = metrics.ascent() + metrics.descent() + metrics.leading();
    return {metrics.horizontalAdvance(text) * font.m_referenceScale, height * font.m_referenceScale};
}
