#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "console.h"

namespace {

// A code page number that names no code page.
constexpr unsigned UNKNOWN_CODE_PAGE = 54321;

TEST(ToAnsi, ConvertsFromTheConsoleCodePage) {
  ASSERT_EQ(GetACP(), 1252U) << "the cases are written for code page 1252";
  const struct {
    unsigned code_page;
    std::string typed;
    std::string ansi;
  } cases[] = {
      {437, "\x84x.wav", "\xe4x.wav"},  // a-umlaut in both code pages
      {850, "caf\x82 \x99.wav", "caf\xe9 \xd6.wav"},
      {65001, "\xc3\xa4x.wav", "\xe4x.wav"},  // UTF-8
      {65001, "\xe6\x97\xa5.wav", "?.wav"},   // not in 1252: replaced
      {1252, "\x84x.wav", "\x84x.wav"},       // the ANSI code page itself: unchanged
      {437, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(console::to_ansi(c.typed, c.code_page), c.ansi)
        << "code page " << c.code_page << ", typed " << c.typed;
  }
}

TEST(ToAnsi, KeepsTheLineWhenTheConversionFails) {
  // The conversion really fails: the system knows no such code page.
  ASSERT_FALSE(IsValidCodePage(UNKNOWN_CODE_PAGE));
  ASSERT_EQ(MultiByteToWideChar(UNKNOWN_CODE_PAGE, 0, "x", 1, nullptr, 0), 0);
  for (const std::string typed : {"name.wav", "\x84x.wav", " a b.wav\t"}) {
    EXPECT_EQ(console::to_ansi(typed, UNKNOWN_CODE_PAGE), typed);
  }
}

}  // namespace
