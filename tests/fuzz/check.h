#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// The characters of `text` that a split into words keeps: all but double
// quotes and, outside quotes, the separators.
template <typename Separator>
std::string kept_characters(const std::string& text, Separator is_separator) {
  std::string kept;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted || !is_separator(c)) {
      kept += c;
    }
  }
  return kept;
}

// Ends the run as a crash, which libFuzzer reports together with the input
// that caused it, when a property does not hold; `about` says where.
inline void check(bool holds, const char* property, const std::string& about = "") {
  if (!holds) {
    std::fprintf(stderr, "property does not hold: %s\n  %s\n", property, about.c_str());
    std::abort();
  }
}
