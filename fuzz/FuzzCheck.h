#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the code under test that no input may break: a broken one names
// itself and aborts, which libFuzzer reports as a finding with its input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
