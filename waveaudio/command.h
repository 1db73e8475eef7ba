#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The text of an MCI command: its words and what they say.
namespace waveaudio {

enum class Verb { kOpen, kRecord, kStop, kSave, kClose };

struct Command {
  Verb verb = Verb::kOpen;
  std::string alias;            // lower case: aliases are matched without regard to case
  std::string element;          // open: the WAV file the format is taken from
  unsigned buffer_seconds = 4;  // open: the capture buffer's length
  std::string file;             // save: the output file, as written
};

// Splits the text into words at blanks and tabs; double quotes group blanks
// into a word and are dropped, so that "" is an empty word. Answers 0, or
// the error code of a quote that is not closed.
std::int32_t tokenize(const char* text, std::vector<std::string>& words);

// Reads one of the commands
//   open <element> type waveaudio alias <alias> [buffer <seconds>]
//   record <alias> | stop <alias> | close <alias> | save <alias> <file>
// Command words and flags are matched without regard to case; names keep
// theirs. Of several file names given to save the last one counts. Answers 0
// or the error code of what is wrong with the text.
std::int32_t parse(const char* text, Command& command);

}  // namespace waveaudio
