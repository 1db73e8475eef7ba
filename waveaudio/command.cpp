#include "command.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "errors.h"

namespace waveaudio {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Whole seconds from 1 to 4294, so that the length in microseconds fits in 32 bits.
bool parse_seconds(const std::string& word, unsigned& seconds) {
  constexpr unsigned kMaxSeconds = 4294;
  if (word.empty() || word.size() > 4 ||
      !std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); })) {
    return false;
  }
  seconds = static_cast<unsigned>(std::stoul(word));
  return seconds >= 1 && seconds <= kMaxSeconds;
}

std::int32_t parse_open(const std::vector<std::string>& words, Command& command) {
  if (words.size() < 2) {
    return error::kMissingDeviceName;
  }
  command.element = words[1];
  bool typed = false;
  for (std::size_t i = 2; i < words.size(); i += 2) {
    const std::string flag = lower(words[i]);
    if (flag != "type" && flag != "alias" && flag != "buffer") {
      return error::kUnrecognizedKeyword;
    }
    if (i + 1 == words.size()) {
      return error::kMissingParameter;
    }
    const std::string& value = words[i + 1];
    if (flag == "type") {
      if (lower(value) != "waveaudio") {
        return error::kInvalidDeviceName;
      }
      typed = true;
    } else if (flag == "alias") {
      command.alias = lower(value);
    } else if (!parse_seconds(value, command.buffer_seconds)) {
      return error::kBadInteger;
    }
  }
  if (!typed || command.alias.empty()) {
    return error::kMissingParameter;
  }
  return 0;
}

std::int32_t parse_device_command(const std::vector<std::string>& words, Command& command) {
  if (words.size() < 2) {
    return error::kMissingDeviceName;
  }
  command.alias = lower(words[1]);
  if (command.verb == Verb::kSave) {
    if (words.size() < 3 || words.back().empty()) {
      return error::kFileNotSaved;
    }
    command.file = words.back();
  } else if (words.size() > 2) {
    return error::kUnrecognizedKeyword;
  }
  return 0;
}

}  // namespace

std::int32_t tokenize(const char* text, std::vector<std::string>& words) {
  words.clear();
  const char* p = text;
  while (*p != '\0') {
    if (is_blank(*p)) {
      ++p;
      continue;
    }
    std::string word;
    bool quoted = false;
    for (; *p != '\0' && (quoted || !is_blank(*p)); ++p) {
      if (*p == '"') {
        quoted = !quoted;
      } else {
        word += *p;
      }
    }
    if (quoted) {
      return error::kNoClosingQuote;
    }
    words.push_back(word);
  }
  return 0;
}

std::int32_t parse(const char* text, Command& command) {
  std::vector<std::string> words;
  if (const std::int32_t result = tokenize(text, words); result != 0) {
    return result;
  }
  if (words.empty()) {
    return error::kMissingCommandString;
  }
  const std::string verb = lower(words[0]);
  if (verb == "open") {
    command.verb = Verb::kOpen;
    return parse_open(words, command);
  }
  if (verb == "record") {
    command.verb = Verb::kRecord;
  } else if (verb == "stop") {
    command.verb = Verb::kStop;
  } else if (verb == "save") {
    command.verb = Verb::kSave;
  } else if (verb == "close") {
    command.verb = Verb::kClose;
  } else {
    return error::kUnrecognizedCommand;
  }
  return parse_device_command(words, command);
}

}  // namespace waveaudio
