// Command-line splitting, over any text: no word holds a double quote; the
// words hold, in order, every character that is neither a double quote nor a
// separator outside quotes; the words, each quoted and joined with blanks,
// split into themselves again; and a text without double quotes splits where
// its runs of separators are.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check.h"
#include "command_line.h"

namespace {

bool is_separator(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// The text with each run of separators as one blank, and none at either end.
std::string runs_as_blanks(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (!is_separator(c)) {
      out += c;
    } else if (!out.empty() && out.back() != ' ') {
      out += ' ';
    }
  }
  if (!out.empty() && out.back() == ' ') {
    out.pop_back();
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = split_command_line(text);

  const std::string kept = kept_characters(text, is_separator);
  std::string all;
  std::string requoted;
  std::string joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    check(words[i].find('"') == std::string::npos, "no word holds a double quote");
    all += words[i];
    requoted += " \"" + words[i] + '"';
    joined += (i == 0 ? "" : " ") + words[i];
  }
  check(all == kept, "the words hold every character but quotes and unquoted separators");
  check(split_command_line(requoted) == words,
        "quoted and joined, the words split into themselves");
  if (text.find('"') == std::string::npos) {
    check(joined == runs_as_blanks(text), "without quotes, words are cut at separator runs");
  }
  return 0;
}
