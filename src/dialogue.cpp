#include "dialogue.h"

#include <cstddef>
#include <cstdint>

#include "console.h"
#include "errors.h"
#include "failure.h"
#include "input.h"

namespace {

unsigned INPUT_CODE_PAGE = 0;

std::size_t read_block(char* data, std::size_t size) {
  std::size_t got = 0;
  check_io(console::read(data, size, got));
  return got;
}

Input& standard_input() {
  static Input input(read_block);
  return input;
}

}  // namespace

void begin_dialogue() { INPUT_CODE_PAGE = console::input_code_page(); }

void write_text(const std::string& text) {
  std::size_t written = 0;
  const std::uint32_t code =
      console::write(console::Stream::output, text.data(), text.size(), written);
  if (code != 0 || written != text.size()) {
    fail_io(IO_DISK_FULL);
  }
}

char read_char() { return standard_input().read_char(); }

std::string read_line() {
  std::string line = standard_input().read_line();
  if (INPUT_CODE_PAGE == 0) {
    return line;
  }
  return console::to_ansi(line, INPUT_CODE_PAGE);
}
