#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

namespace {

struct Case {
  const char* text;
  std::vector<std::string> words;
};

TEST(SplitCommandLine, FollowsTheQuotingRules) {
  const Case cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"tolvane", {"tolvane"}},
      {"  tolvane   out.wav  ", {"tolvane", "out.wav"}},
      {"tolvane\tout.wav\x01x\x1fy", {"tolvane", "out.wav", "x", "y"}},
      {"tolvane \"a b.wav\"", {"tolvane", "a b.wav"}},
      {"tolvane a\" \"b.wav", {"tolvane", "a b.wav"}},
      {"tolvane \"a b", {"tolvane", "a b"}},
      {"tolvane \"\"", {"tolvane", ""}},
      {"tolvane \"\" x", {"tolvane", "", "x"}},
      {"tolvane \"\"\"\"", {"tolvane", ""}},
      {"tolvane C:\\dir\\\"a b\\\".wav", {"tolvane", "C:\\dir\\a b\\.wav"}},
      {"tolvane out.wav -h", {"tolvane", "out.wav", "-h"}},
      {"\"C:\\Program Files\\tolvane.exe\" x", {"C:\\Program Files\\tolvane.exe", "x"}},
      {"tolvane \xe4\xf6.wav", {"tolvane", "\xe4\xf6.wav"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(split_command_line(c.text), c.words) << "text: " << c.text;
  }
}

TEST(SplitCommandLine, TakesAVeryLongWordWhole) {
  const std::string name(5000, 'n');
  EXPECT_EQ(split_command_line("tolvane " + name), (std::vector<std::string>{"tolvane", name}));
}

}  // namespace
