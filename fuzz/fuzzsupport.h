#pragma once

#include <QString>

class Tekstiboks;

// What every fuzz target shares: a headless application, message boxes that never block, and checks
// whose failure ends the run as a crash the fuzzer keeps.

// Starts the offscreen application once, before the first input.
void startFuzzing(int* argc, char*** argv);

// Stops the run with `what` on standard error when `condition` is false.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzCheckFailed(#condition, __FILE__, __LINE__);                                                 \
    } while (false)
[[noreturn]] void fuzzCheckFailed(const char* what, const char* file, int line);

// The document model's invariants after a reading, a layout or a refresh: every paragraph ends with
// its paragraph end, every element has a style in the table and stands in exactly one line in order,
// the line geometry follows the lines, the cursor stands on an element, and every code unit of the
// search text leads back to an element.
void checkDocument(const Tekstiboks& tb);
