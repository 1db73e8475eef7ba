#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "capture/tmpfile.h"
#include "device/channel.h"

namespace {

TEST(OpenCommand, NamesTheTemporaryFileTheTypeTheAliasAndTheBuffer) {
  const std::string command = open_command(TMP_FILE);
  EXPECT_EQ(command, "open )(rec)(.tmp type waveaudio alias wav1 buffer 4");
  EXPECT_EQ(command.size(), 51U);
}

TEST(SaveCommand, QuotesANameWithBlanksOnlyWhenTheUserDidNot) {
  const struct {
    const char* name;
    const char* command;
  } cases[] = {
      {"out.wav", "save wav1 out.wav"},
      {"C:\\Music\\take 2.wav", "save wav1 \"C:\\Music\\take 2.wav\""},
      {" lead.wav", "save wav1 \" lead.wav\""},
      {"\"a b.wav\"", "save wav1 \"a b.wav\""},
      {"a\"b c.wav", "save wav1 a\"b c.wav"},
      {"tab\there.wav", "save wav1 tab\there.wav"},
      {"\xe4 \xf6.wav", "save wav1 \"\xe4 \xf6.wav\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(save_command(c.name), c.command) << "name: " << c.name;
  }
}

TEST(SaveCommand, KeepsALongNameWhole) {
  const std::string name(5000, 'n');
  EXPECT_EQ(save_command(name), "save wav1 " + name);
  const std::string at_limit(1013, 'n');
  EXPECT_EQ(save_command(at_limit).size(), 1023U);
}

TEST(CommandBuffer, HoldsTheWholeTextAndItsTerminatingZero) {
  for (const std::size_t length : {std::size_t{0}, std::size_t{1023}, std::size_t{5010}}) {
    const std::string text(length, 'c');
    const auto buffer = command_buffer(text);
    EXPECT_EQ(std::strlen(buffer.get()), length);
    EXPECT_EQ(std::string(buffer.get()), text);
  }
}

}  // namespace
