// The device's command parser, over any text. tokenize fails exactly when the
// text holds an odd number of double quotes; its words hold, in order, every
// character but quotes and blanks outside quotes, and each quoted and joined
// with blanks they split into themselves again. parse answers 0 exactly for
// the commands of the grammar in command.h, and then its fields are what the
// words say. And the program's own commands, built around any word of the
// text as the element, alias or file name, parse to that name.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "check.h"
#include "waveaudio/command.h"
#include "waveaudio/errors.h"

using waveaudio::Command;
using waveaudio::Verb;

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

std::string quoted(const std::string& word) { return '"' + word + '"'; }

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  check(waveaudio::tokenize(text.c_str(), words) == 0, "a text with even quotes splits");
  return words;
}

// Whole seconds from 1 to 4294, in at most four digits.
std::optional<unsigned> seconds_of(const std::string& word) {
  if (word.empty() || word.size() > 4 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const auto seconds = static_cast<unsigned>(std::stoul(word));
  return seconds >= 1 && seconds <= 4294 ? std::optional(seconds) : std::nullopt;
}

// open <element> type waveaudio alias <alias> [buffer <seconds>], flags in
// any order, the last of a repeated flag counting.
std::optional<Command> open_of(const std::vector<std::string>& words) {
  if (words.size() % 2 != 0) {
    return std::nullopt;
  }
  Command command;
  command.verb = Verb::kOpen;
  command.element = words[1];
  bool typed = false;
  for (std::size_t i = 2; i < words.size(); i += 2) {
    const std::string flag = lower(words[i]);
    const std::string& value = words[i + 1];
    if (flag == "type" && lower(value) == "waveaudio") {
      typed = true;
    } else if (flag == "alias") {
      command.alias = lower(value);
    } else if (const auto seconds = seconds_of(value); flag == "buffer" && seconds) {
      command.buffer_seconds = *seconds;
    } else {
      return std::nullopt;
    }
  }
  if (!typed || command.alias.empty()) {
    return std::nullopt;
  }
  return command;
}

// The command the words make by the grammar in command.h, if any.
std::optional<Command> command_of(const std::vector<std::string>& words) {
  if (words.size() < 2) {
    return std::nullopt;
  }
  const std::string verb = lower(words[0]);
  if (verb == "open") {
    return open_of(words);
  }
  Command command;
  command.alias = lower(words[1]);
  if (verb == "save") {
    if (words.size() < 3 || words.back().empty()) {
      return std::nullopt;
    }
    command.verb = Verb::kSave;
    command.file = words.back();
    return command;
  }
  if (words.size() != 2) {
    return std::nullopt;
  }
  if (verb == "record") {
    command.verb = Verb::kRecord;
  } else if (verb == "stop") {
    command.verb = Verb::kStop;
  } else if (verb == "close") {
    command.verb = Verb::kClose;
  } else {
    return std::nullopt;
  }
  return command;
}

Command made(Verb verb, const std::string& alias, const std::string& element = "",
             const std::string& file = "") {
  Command command;
  command.verb = verb;
  command.alias = alias;
  command.element = element;
  command.file = file;
  return command;
}

// Parses the text: it must answer 0 exactly when a command is expected, and
// then give that command's fields.
void expect_parse(const std::string& text, const std::optional<Command>& expected) {
  Command parsed;
  const std::int32_t result = waveaudio::parse(text.c_str(), parsed);
  check((result == 0) == expected.has_value(), "parse answers 0 exactly for a command", text);
  check(!expected ||
            (parsed.verb == expected->verb && parsed.alias == expected->alias &&
             parsed.element == expected->element &&
             parsed.buffer_seconds == expected->buffer_seconds && parsed.file == expected->file),
        "the parsed fields are the words", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The device is given C strings: the text ends at the first zero byte.
  const auto* chars = reinterpret_cast<const char*>(data);
  const std::string text(chars, strnlen(chars, size));

  std::vector<std::string> words;
  const std::int32_t result = waveaudio::tokenize(text.c_str(), words);
  if (std::count(text.begin(), text.end(), '"') % 2 != 0) {
    check(result == waveaudio::error::kNoClosingQuote, "an unclosed quote is refused");
    Command parsed;
    check(waveaudio::parse(text.c_str(), parsed) == waveaudio::error::kNoClosingQuote,
          "parse refuses an unclosed quote");
    return 0;
  }
  check(result == 0, "a text with even quotes splits");

  const std::string kept = kept_characters(text, is_blank);
  std::string all;
  std::string requoted;
  for (const std::string& word : words) {
    check(word.find('"') == std::string::npos, "no word holds a double quote");
    all += word;
    requoted += ' ' + quoted(word);
  }
  check(all == kept, "the words hold every character but quotes and unquoted blanks");
  check(words_of(requoted) == words, "quoted and joined, the words split into themselves");

  expect_parse(text, command_of(words));

  // The program's own commands, with any word of the text as a name.
  for (const std::string& name : words) {
    const std::optional<Command> none;
    expect_parse("open " + quoted(name) + " type waveaudio alias wav1 buffer 4",
                 made(Verb::kOpen, "wav1", name));
    expect_parse("open x.tmp type waveaudio alias " + quoted(name),
                 name.empty() ? none : made(Verb::kOpen, lower(name), "x.tmp"));
    expect_parse("record " + quoted(name), made(Verb::kRecord, lower(name)));
    expect_parse("stop " + quoted(name), made(Verb::kStop, lower(name)));
    expect_parse("save wav1 " + quoted(name),
                 name.empty() ? none : made(Verb::kSave, "wav1", "", name));
    expect_parse("close " + quoted(name), made(Verb::kClose, lower(name)));
  }
  return 0;
}
