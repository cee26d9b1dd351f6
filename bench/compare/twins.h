#pragma once

// Deterministic twin documents for comparing Velmora with Qt's rich-text engine: for one seed and
// length, a VLM1 document and an HTML document with the same text, faces, sizes, flags, colours,
// highlights, alignments and pictures.
//
// The text depends only on the seed and the length; the run shape decides only how the VLM1 document
// cuts it into runs. So both shapes of one seed share one HTML twin, unless it has a span per run:
//
//     const twins::Plan plan{.nSeed = 1, .nCharacters = 1'000'000};
//     const twins::Twin words = twins::generate(plan, twins::Runs::Words);
//     const twins::Twin chars = twins::generate(plan, twins::Runs::Characters);
//     // words.strHtml == chars.strHtml, words.strVlm != chars.strVlm

#include <QString>
#include <cstdint>

namespace twins {

enum class Runs {
    // Every character its own run: the most elements a text can make.
    Characters,
    // One word per run, the usual shape.
    Words,
};

// "chars" or "words", for file names and table headings.
const char* runsName(Runs runs);

// How the HTML twin marks up its styles.
enum class HtmlSpans {
    // One span for every stretch of one style and highlight, as a person would write it.
    PerStyle,
    // One span for every run and space of the VLM1 document, as a translation element by element
    // writes it; the HTML then differs between the two run shapes.
    PerRun,
};

struct Plan {
    std::uint64_t nSeed = 1;
    // Characters of text (letters, punctuation and the spaces between words); paragraph ends and
    // pictures are not counted. The document stops at the first paragraph end at or past this.
    std::int64_t nCharacters = 100'000;
    // One picture after every so many characters of text.
    std::int64_t nCharactersPerPicture = 20'000;
    HtmlSpans spans = HtmlSpans::PerStyle;
};

struct Twin {
    QString strVlm;
    QString strHtml;
    std::int64_t nCharacters = 0;
    std::int64_t nWords = 0;
    std::int64_t nParagraphs = 0;
    std::int64_t nPictures = 0;
    // Elements of the VLM1 document: runs, spaces, paragraph ends and pictures.
    std::int64_t nElements = 0;
};

Twin generate(const Plan& plan, Runs runs);

} // namespace twins
