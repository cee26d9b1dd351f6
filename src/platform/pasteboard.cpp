#include "platform/pasteboard.h"

#include "platform/image.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <optional>

namespace {

const QString kTextPlain = QStringLiteral("text/plain");
const QString kTextHtml = QStringLiteral("text/html");
const QString kImagePng = QStringLiteral("image/png");
const QString kQtImage = QStringLiteral("application/x-qt-image");

PasteboardHandler& installedHandler() {
    static PasteboardHandler handler;
    return handler;
}

QClipboard* systemClipboard() {
    // Without a GUI application there is no clipboard to ask for.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

// Text handed over as the type the caller asked for: the platform's clipboard code asks for bytes,
// QMimeData::text() for a string.
QVariant textAs(const QString& text, QMetaType type) {
    if (type.id() == QMetaType::QByteArray)
        return text.toUtf8();
    return text;
}

// The clipboard's content. Building the HTML or encoding a picture as PNG costs time in proportion
// to the copy, so each format is made only when a paste target asks for it, and then once.
class PasteboardMimeData : public QMimeData {
public:
    explicit PasteboardMimeData(PasteboardItems items) : m_items(std::move(items)) {
        for (const PasteboardItem& item : m_items) {
            if (item.kind == PasteboardItem::Kind::Text)
                m_hasText = true;
            else if (!m_firstImage)
                m_firstImage = item.image;
        }
    }

    QStringList formats() const override {
        QStringList list;
        if (m_hasText)
            list << kTextPlain;
        if (m_firstImage)
            list << kImagePng << kQtImage;
        if (!m_items.empty())
            list << kTextHtml;
        return list;
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType == kTextPlain && m_hasText) {
            if (!m_text)
                m_text = plainTextOf(m_items);
            return textAs(*m_text, type);
        }
        if (mimeType == kTextHtml && !m_items.empty()) {
            if (!m_html)
                m_html = htmlOf(m_items);
            return textAs(*m_html, type);
        }
        if (mimeType == kImagePng && m_firstImage) {
            if (!m_png)
                m_png = encodePng(*m_firstImage);
            return *m_png;
        }
        if (mimeType == kQtImage && m_firstImage)
            return *m_firstImage;
        return {};
    }

private:
    PasteboardItems m_items;
    bool m_hasText = false;
    std::optional<QImage> m_firstImage;
    mutable std::optional<QString> m_text;
    mutable std::optional<QString> m_html;
    mutable std::optional<QByteArray> m_png;
};

// The selection clipboard's content: plain text, produced when a program first asks for it.
class SelectionMimeData : public QMimeData {
public:
    explicit SelectionMimeData(TextProducer produce) : m_produce(std::move(produce)) {}

    QStringList formats() const override { return {kTextPlain}; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType != kTextPlain)
            return {};
        if (!m_text)
            m_text = m_produce ? m_produce() : QString();
        return textAs(*m_text, type);
    }

private:
    TextProducer m_produce;
    mutable std::optional<QString> m_text;
};

void appendEscaped(QString& html, const QString& text) {
    // A space after a space or at the start of a line would collapse into the one before it.
    bool afterBreak = true;
    QChar previous;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            html += QLatin1String("&amp;");
            break;
        case u'<':
            html += QLatin1String("&lt;");
            break;
        case u'>':
            html += QLatin1String("&gt;");
            break;
        case u'"':
            html += QLatin1String("&quot;");
            break;
        case u'\n':
            html += QLatin1String("<br>");
            break;
        case u' ':
            html += afterBreak || previous == u' ' ? QLatin1String("&nbsp;") : QLatin1String(" ");
            break;
        default:
            html += c;
        }
        afterBreak = c == u'\n';
        previous = c;
    }
}

} // namespace

QString plainTextOf(const PasteboardItems& items) {
    qsizetype length = 0;
    for (const PasteboardItem& item : items)
        length += item.text.size();
    QString text;
    text.reserve(length);
    for (const PasteboardItem& item : items) {
        if (item.kind == PasteboardItem::Kind::Text)
            text += item.text;
    }
    return text;
}

QString htmlOf(const PasteboardItems& items) {
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>");
    for (const PasteboardItem& item : items) {
        if (item.kind == PasteboardItem::Kind::Text) {
            appendEscaped(html, item.text);
        } else {
            html += QLatin1String("<img src=\"data:image/png;base64,") + encodeBase64(encodePng(item.image)) +
                    QLatin1String("\" alt=\"\">");
        }
    }
    html += QLatin1String("</body></html>");
    return html;
}

QMimeData* mimeDataFor(PasteboardItems items) {
    return new PasteboardMimeData(std::move(items));
}

void writePasteboard(PasteboardItems items) {
    if (const auto write = installedHandler().write) {
        write(items);
        return;
    }
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return;
    if (items.empty())
        clipboard->clear(QClipboard::Clipboard);
    else
        clipboard->setMimeData(mimeDataFor(std::move(items)), QClipboard::Clipboard);
}

void offerSelectionText(TextProducer produce) {
    if (const auto offer = installedHandler().offerSelection) {
        offer(std::move(produce));
        return;
    }
    QClipboard* clipboard = systemClipboard();
    if (!clipboard || !clipboard->supportsSelection())
        return;
    clipboard->setMimeData(new SelectionMimeData(std::move(produce)), QClipboard::Selection);
}

void setPasteboardHandler(PasteboardHandler handler) {
    installedHandler() = std::move(handler);
}
