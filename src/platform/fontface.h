#pragma once

#include "platform/fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

// One face (family, bold, italic) at the reference size, shared by every Font of it whatever the
// size. Fonts, measuring and the canvas use it; nothing outside the platform layer does.
//
// Everything runs on the main thread, like all of the program's drawing and measuring, so the caches
// are not locked.
class FontFace : public std::enable_shared_from_this<FontFace> {
public:
    // The em of the reference size, in logical pixels.
    static constexpr double kReferenceSize = 1000.0;

    // A plain face, or the variant with the traits of the plain face `plain`.
    FontFace(const QFont& base, QString key, bool bold, bool italic, const FontFace* plain = nullptr);
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // What identifies the face without its traits (the family it was asked by), and its traits.
    const QString m_key;
    const bool m_bold;
    const bool m_italic;
    // The face resolved against the reference device: at no particular size, and at the reference size.
    QFont m_font;
    QFont m_referenceFont;
    // Line spacing (ascent + descent + leading) and descent at the reference size.
    double m_lineSpacing = 0.0;
    double m_descent = 0.0;

    // The family the font engine uses for this face.
    const QString& family() const;
    // The face of the same family with these traits, made the first time it is asked for.
    std::shared_ptr<const FontFace> variant(bool bold, bool italic) const;
    // Which traits the family has real faces for.
    struct Styles {
        bool bold = false;
        bool italic = false;
        bool boldItalic = false;
    };
    const Styles& styles() const;
    // The advance of `text` at the reference size.
    double advance(const QString& text) const;
    // The pieces of a text longer than kTextPieceLength, with their advances at the reference size.
    std::shared_ptr<const TextPieces> measurePieces(const QString& text) const;
    // How many texts the face keeps the advance of, and dropping them.
    qsizetype measuredCount() const { return m_advances.size(); }
    void forgetMeasured() const { m_advances.clear(); }

private:
    // Qt's advance of a short text, which it sums in 26.6 fixed point: a text whose advance would
    // pass that range at the reference size is measured in halves instead.
    double shapedAdvance(QStringView text) const;

    QFontMetricsF m_metrics;
    mutable QString m_family;
    mutable std::optional<Styles> m_styles;
    // The plain face of the family (this one when it is plain), which holds the variants, indexed by
    // bold + 2 * italic; its own slot stays empty.
    const FontFace* const m_plain;
    mutable std::shared_ptr<const FontFace> m_variants[4];
    mutable QHash<QString, double> m_advances;
};
