#include <gtest/gtest.h>

#include <string>

#include "usage.h"

namespace {

TEST(HelpSwitches, AreTheSixInTheirOrder) {
  const char* const expected[] = {"-h", "/h", "-H", "/H", "-?", "/?"};
  ASSERT_EQ(HELP_SWITCHES.size(), 6U);
  for (std::size_t i = 0; i < HELP_SWITCHES.size(); ++i) {
    EXPECT_STREQ(HELP_SWITCHES[i], expected[i]);
  }
}

TEST(HasHelpSwitch, FindsASwitchAnywhereAndNothingElse) {
  const struct {
    const char* text;
    bool help;
  } cases[] = {
      {"-h", true},
      {"/h", true},
      {"-H", true},
      {"/H", true},
      {"-?", true},
      {"/?", true},
      {"-help", true},
      {"--help", true},
      {"-Help", true},
      {"/help", true},
      {"/HELP", true},
      {"take-home.wav", true},
      {"C:/home/a.wav", true},
      {"x-?.wav", true},
      {"D:/Music/Hits.wav", true},
      {"rec-HQ.wav", true},
      {"wav-h", true},
      {"", false},
      {"C:\\home\\a.wav", false},
      {"-x", false},
      {"h", false},
      {"H", false},
      {"?", false},
      {"help", false},
      {"- h", false},
      {"\\?", false},
      {"-", false},
      {"/", false},
      {"out.wav", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(has_help_switch(c.text), c.help) << "text: " << c.text;
  }
}

}  // namespace
