#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A broken promise of the code under test is a crash, so that libFuzzer
// stops, keeps the input and reports it like any sanitizer finding.
inline void Require(bool holds, const char *what, const std::string &detail = std::string())
{
    if (holds)
        return;
    std::fprintf(stderr, "\nBROKEN: %s\n%s\n", what, detail.c_str());
    std::abort();
}
