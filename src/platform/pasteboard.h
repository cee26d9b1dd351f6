#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QMimeData;

// One item of a copy: a piece of plain text or a picture.
struct PasteboardItem {
    enum class Kind { Text, Image };

    static PasteboardItem fromText(QString text) { return {Kind::Text, std::move(text), {}}; }
    static PasteboardItem fromImage(QImage image) { return {Kind::Image, {}, std::move(image)}; }

    Kind kind = Kind::Text;
    QString text;
    QImage image;
};

using PasteboardItems = std::vector<PasteboardItem>;

// Produces a text when somebody asks for it.
using TextProducer = std::function<QString()>;

// The text items in order, joined: what a paste target that takes plain text gets.
QString plainTextOf(const PasteboardItems& items);
// Every item in order as HTML without styling: text escaped with line feeds as line breaks and
// runs of spaces kept, pictures inline as PNG data.
QString htmlOf(const PasteboardItems& items);
// The items in every format a paste target may ask for: text/plain (all text), image/png and Qt's
// image data (the first picture), text/html (everything). The formats are produced on request.
QMimeData* mimeDataFor(PasteboardItems items);

// Replaces the general pasteboard's content with the items; an empty list leaves it empty.
void writePasteboard(PasteboardItems items);

// Offers a text as the selection clipboard's content (the primary selection of X11) where the
// platform has one; the text is produced only when a program asks for it. Elsewhere nothing happens.
void offerSelectionText(TextProducer produce);

// Tests and headless runs install a handler in place of the system clipboard; a handler without
// functions restores it.
struct PasteboardHandler {
    std::function<void(const PasteboardItems& items)> write;
    std::function<void(TextProducer produce)> offerSelection;
};
void setPasteboardHandler(PasteboardHandler handler);
