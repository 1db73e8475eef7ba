#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio_server.h"
#include "errors.h"
#include "waveaudio.h"

namespace waveaudio {
namespace {

using testing::descriptors;
using testing::descriptors_on;
using testing::empty_wav;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::int32_t send(const std::string& command) {
  char unused = 0;
  return send_string(command.c_str(), &unused, 0, 0);
}

std::string open_command(const std::string& element, const std::string& alias) {
  return "open \"" + element + "\" type waveaudio alias " + alias + " buffer 4";
}

TEST(Device, RefusesUnknownCommandsAndAliasesThatAreNotOpen) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"", error::kMissingCommandString},         {"   ", error::kMissingCommandString},
      {"play wav1", error::kUnrecognizedCommand}, {"record nope", error::kInvalidDeviceName},
      {"stop nope", error::kInvalidDeviceName},   {"save nope x.wav", error::kInvalidDeviceName},
      {"close nope", error::kInvalidDeviceName},  {"record", error::kMissingDeviceName},
  };
  for (const auto& [text, result] : cases) {
    EXPECT_EQ(send(text), result) << text;
  }
  EXPECT_EQ(send_string(nullptr, nullptr, 0, 0), error::kMissingCommandString);
}

TEST(Device, OpenRefusesMissingAndInvalidElements) {
  const TempDir dir;
  const std::pair<const char*, std::vector<std::uint8_t>> invalid[] = {
      {"empty", {}},
      {"truncated",
       [] {
         auto b = empty_wav();
         b.resize(40);
         return b;
       }()},
      {"float",
       [] {
         auto b = empty_wav();
         b[20] = 3;
         return b;
       }()},
  };
  for (const auto& [name, bytes] : invalid) {
    write_file(dir / name, bytes);
    EXPECT_EQ(send(open_command(dir / name, "wav1")), error::kInvalidFile) << name;
    EXPECT_EQ(send("close wav1"), error::kInvalidDeviceName) << name;
  }
  EXPECT_EQ(send(open_command(dir / "missing.tmp", "wav1")), error::kFileNotFound);
  EXPECT_EQ(send("close wav1"), error::kInvalidDeviceName);
  EXPECT_EQ(testing::list_dir(dir.path()),
            (std::vector<std::string>{"empty", "float", "truncated"}));
}

TEST(Device, KeepsSeveralAliasesApartAndHoldsNoElementOpen) {
  const TempDir dir;
  const std::string element = dir / ")(rec)(.tmp";
  write_file(element, empty_wav());
  const int before = descriptors();
  EXPECT_EQ(send(open_command(element, "one")), 0);
  EXPECT_EQ(send(open_command(element, "two")), 0);
  EXPECT_EQ(send(open_command(element, "ONE")), error::kDuplicateAlias);
  EXPECT_EQ(descriptors_on(element), 0);
  EXPECT_EQ(send("close One"), 0);
  EXPECT_EQ(send("close one"), error::kInvalidDeviceName);
  EXPECT_EQ(send("save two \"" + (dir / "two.wav") + "\""), 0);
  EXPECT_EQ(read_file(dir / "two.wav"), empty_wav());  // nothing recorded: the empty file
  EXPECT_EQ(send("close two"), 0);
  EXPECT_EQ(descriptors(), before);
}

TEST(Device, TracesEachCommandAsReceivedWithItsResult) {
  const TempDir dir;
  const std::string log = dir / "trace.log";
  setenv("WAVEAUDIO_TRACE", log.c_str(), 1);
  send("Play  wav1");
  send("save wav1 \"a b.wav\"");
  send("close \"wav1");
  unsetenv("WAVEAUDIO_TRACE");
  send("close wav1");
  const auto bytes = read_file(log);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "Play  wav1 -> 261\n"
            "save wav1 \"a b.wav\" -> 263\n"
            "close \"wav1 -> 294\n");
}

TEST(Device, WritesNoReturnTextWhenItsLengthIsZero) {
  char text[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(send_string("close nope", text, 0, 0), error::kInvalidDeviceName);
  EXPECT_EQ(std::string(text, 4), "xxxx");
  EXPECT_EQ(send_string("close nope", text, 4, 0), error::kInvalidDeviceName);
  EXPECT_EQ(text[0], '\0');
  EXPECT_EQ(std::string(text + 1, 3), "xxx");
}

// Without a capture device the record command fails, quietly, and the device
// stays open with nothing recorded.
TEST(Device, RecordFailsWhenTheCaptureDeviceCannotBeOpened) {
  const char* configs[] = {
      "",                             // no default device at all
      "pcm.!default { type pulse }",  // a sound server that is not there
  };
  for (const char* config : configs) {
    const TempDir dir;
    testing::use_alsa_config(dir, config);
    setenv("PULSE_SERVER", ("unix:" + (dir / "no-server")).c_str(), 1);
    const std::string element = dir / ")(rec)(.tmp";
    write_file(element, empty_wav());
    ASSERT_EQ(send(open_command(element, "wav1")), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(send("record wav1"), error::kHardware) << config;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << config;
    EXPECT_EQ(send("stop wav1"), 0);
    EXPECT_EQ(send("save wav1 " + (dir / "out.wav")), 0);
    EXPECT_EQ(read_file(dir / "out.wav"), empty_wav()) << config;
    EXPECT_EQ(send("close wav1"), 0);
  }
}

}  // namespace
}  // namespace waveaudio
