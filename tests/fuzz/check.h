#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Ends the run as a crash, which libFuzzer reports together with the input
// that caused it, when a property does not hold; `about` says where.
inline void check(bool holds, const char* property, const std::string& about = "") {
  if (!holds) {
    std::fprintf(stderr, "property does not hold: %s\n  %s\n", property, about.c_str());
    std::abort();
  }
}
