#pragma once

// Deterministic generator of large documents for benchmarks.
//
// The same (shape, element count) always gives the same document, element for element, whether it
// is written as VLM1 text or built straight into a view:
//
//     Tekstiboks box;
//     box.SeaNahtavaAlaSuurus(QSizeF(800, 600));
//     docgen::buildDocument(box, docgen::Shape::Mixed, 100'000); // measured, not laid out
//     box.ReastaElemendid();
//
//     const QString strVlm = docgen::writeVlm(docgen::Shape::Words, 100'000);
//     box.AvaFail(strVlm);                                       // through the reader
//
// Every paragraph ends with its paragraph end, and the document has exactly `nElements` elements
// (at least one).

#include <QString>
#include <cstdint>

class Tekstiboks;

namespace docgen {

enum class Shape {
    // One character per run, words separated by spaces, one style: the most elements per text.
    Characters,
    // One word per run, single spaces, one style, the four alignments in turn.
    Words,
    // Words with frequent style changes (bold, italic, sizes, super- and subscript), highlight
    // changes, tabs and small pictures.
    Mixed,
};

// A short name for benchmark labels: "chars", "words", "mixed".
const char* shapeName(Shape shape);

// The document as VLM1 text.
QString writeVlm(Shape shape, std::int64_t nElements);

// Replaces the document of `box` with the generated one, as the reader would leave it before
// layout: paragraphs, the style table in order of first use, every element measured with sharing
// at the view's zoom, one placeholder line per paragraph, and the search text. The cursor goes to
// 0 and the zoom is kept; the caller lays the document out (ReastaElemendid) when it wants lines.
// Pictures share one bitmap.
void buildDocument(Tekstiboks& box, Shape shape, std::int64_t nElements);

} // namespace docgen
