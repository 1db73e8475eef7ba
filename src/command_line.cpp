#include "command_line.h"

std::vector<std::string> split_command_line(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (!quoted && code >= 1 && code <= 32) {
      if (in_word) {
        words.push_back(word);
        word.clear();
        in_word = false;
      }
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) {
    words.push_back(word);
  }
  return words;
}
