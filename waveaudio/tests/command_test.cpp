#include "command.h"

#include <gtest/gtest.h>

#include "errors.h"

namespace waveaudio {
namespace {

struct TokenCase {
  const char* text;
  std::int32_t result;
  std::vector<std::string> words;
};

TEST(Tokenize, SplitsAtBlanksAndGroupsQuotes) {
  const TokenCase cases[] = {
      {"", 0, {}},
      {"   \t ", 0, {}},
      {"record wav1", 0, {"record", "wav1"}},
      {"  stop \t wav1  ", 0, {"stop", "wav1"}},
      {"save wav1 \"a b.wav\"", 0, {"save", "wav1", "a b.wav"}},
      {"save wav1 \"\"", 0, {"save", "wav1", ""}},
      {"save wav1 x\"y z\"w", 0, {"save", "wav1", "xy zw"}},
      {R"(save wav1 "a""b")", 0, {"save", "wav1", "ab"}},
      {"open )(rec)(.tmp", 0, {"open", ")(rec)(.tmp"}},
      {"save wav1 \"ABC.wav", error::kNoClosingQuote, {}},
      {"save \"", error::kNoClosingQuote, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words;
    EXPECT_EQ(tokenize(c.text, words), c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(words, c.words) << c.text;
    }
  }
}

struct ParseCase {
  const char* text;
  std::int32_t result;
  Verb verb;
  std::string alias;
  std::string name;  // element of open, file of save
  unsigned buffer_seconds;
};

TEST(Parse, ReadsTheFiveCommandsAndRefusesWhatIsWrong) {
  const ParseCase cases[] = {
      {"open )(rec)(.tmp type waveaudio alias wav1 buffer 4", 0, Verb::kOpen, "wav1", ")(rec)(.tmp",
       4},
      {"OPEN My.WAV TYPE WaveAudio ALIAS Wav1 BUFFER 12", 0, Verb::kOpen, "wav1", "My.WAV", 12},
      {"open \"a b.wav\" alias x type waveaudio", 0, Verb::kOpen, "x", "a b.wav", 4},
      {"open e.wav type waveaudio alias wav1 buffer 4294", 0, Verb::kOpen, "wav1", "e.wav", 4294},
      {"record wav1", 0, Verb::kRecord, "wav1", "", 4},
      {"Record WAV1", 0, Verb::kRecord, "wav1", "", 4},
      {"stop wav1", 0, Verb::kStop, "wav1", "", 4},
      {"close wav1", 0, Verb::kClose, "wav1", "", 4},
      {"save wav1 Out.WAV", 0, Verb::kSave, "wav1", "Out.WAV", 4},
      {"save wav1 \"My Take.wav\"", 0, Verb::kSave, "wav1", "My Take.wav", 4},
      {"save wav1 a b.wav", 0, Verb::kSave, "wav1", "b.wav", 4},
      {"", error::kMissingCommandString, Verb::kOpen, "", "", 4},
      {"play wav1", error::kUnrecognizedCommand, Verb::kOpen, "", "", 4},
      {"\"open\"x e.wav", error::kUnrecognizedCommand, Verb::kOpen, "", "", 4},
      {"open", error::kMissingDeviceName, Verb::kOpen, "", "", 4},
      {"record", error::kMissingDeviceName, Verb::kRecord, "", "", 4},
      {"save", error::kMissingDeviceName, Verb::kSave, "", "", 4},
      {"open e.wav alias wav1", error::kMissingParameter, Verb::kOpen, "", "", 4},
      {"open e.wav type waveaudio", error::kMissingParameter, Verb::kOpen, "", "", 4},
      {"open e.wav type waveaudio alias", error::kMissingParameter, Verb::kOpen, "", "", 4},
      {"open e.wav type waveaudio alias \"\"", error::kMissingParameter, Verb::kOpen, "", "", 4},
      {"open e.wav type cdaudio alias wav1", error::kInvalidDeviceName, Verb::kOpen, "", "", 4},
      {"open e.wav type waveaudio alias wav1 shareable", error::kUnrecognizedKeyword, Verb::kOpen,
       "", "", 4},
      {"open e.wav type waveaudio alias wav1 buffer 0", error::kBadInteger, Verb::kOpen, "", "", 4},
      {"open e.wav type waveaudio alias wav1 buffer -4", error::kBadInteger, Verb::kOpen, "", "",
       4},
      {"open e.wav type waveaudio alias wav1 buffer 4s", error::kBadInteger, Verb::kOpen, "", "",
       4},
      {"open e.wav type waveaudio alias wav1 buffer 4295", error::kBadInteger, Verb::kOpen, "", "",
       4},
      {"record wav1 from 0", error::kUnrecognizedKeyword, Verb::kRecord, "", "", 4},
      {"close wav1 wait", error::kUnrecognizedKeyword, Verb::kClose, "", "", 4},
      {"save wav1", error::kFileNotSaved, Verb::kSave, "", "", 4},
      {"save wav1 ", error::kFileNotSaved, Verb::kSave, "", "", 4},
      {"save wav1 \"\"", error::kFileNotSaved, Verb::kSave, "", "", 4},
      {"save wav1 \"x.wav", error::kNoClosingQuote, Verb::kSave, "", "", 4},
  };
  for (const auto& c : cases) {
    Command command;
    EXPECT_EQ(parse(c.text, command), c.result) << c.text;
    if (c.result != 0) {
      continue;
    }
    EXPECT_EQ(command.verb, c.verb) << c.text;
    EXPECT_EQ(command.alias, c.alias) << c.text;
    EXPECT_EQ(c.verb == Verb::kSave ? command.file : command.element, c.name) << c.text;
    EXPECT_EQ(command.buffer_seconds, c.buffer_seconds) << c.text;
  }
}

}  // namespace
}  // namespace waveaudio
