#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz targets' bodies: each takes one input and ends the process with a crash when the program
// fails on it. The fuzzers call them for every input they make; the test suite calls them for every
// seed and every input a fuzzer ever found failing, so that each finding stays fixed. The
// application must have been started with startFuzzing.

// Any bytes as a document file, opened, laid out, refreshed and drawn.
void fuzzReader(const uint8_t* data, size_t size);
// The bytes as a picture text and as an image file in one, each written back and read again.
void fuzzPicture(const uint8_t* data, size_t size);
// The bytes as a style text, a colour text and a number.
void fuzzTexts(const uint8_t* data, size_t size);
