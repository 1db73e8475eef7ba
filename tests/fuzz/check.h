#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Ends the run as a crash, which libFuzzer reports together with the input
// that caused it, when a property does not hold.
inline void check(bool holds, const std::string& property) {
  if (!holds) {
    std::fprintf(stderr, "property does not hold: %s\n", property.c_str());
    std::abort();
  }
}
