#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Line and character reads over a reader of blocks of at most 256 bytes.
class Input {
 public:
  // Fills the buffer with at most `size` bytes and answers how many; 0 at
  // the end of input. A failure does not return.
  using Reader = std::function<std::size_t(char* data, std::size_t size)>;

  static constexpr std::size_t BLOCK = 256;
  static constexpr char END_MARK = 26;

  explicit Input(Reader reader);

  // The next byte, or the end mark at the end of input.
  char read_char();

  // The next line without its line end (CR, LF or CR LF). An end mark in the
  // input ends the line before it and stays unread, so every later line is
  // empty; at the end of input the line is what was left, maybe empty.
  std::string read_line();

 private:
  bool fill();

  Reader reader_;
  char block_[BLOCK] = {};
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool at_end_ = false;
  bool skip_lf_ = false;  // a CR ended the last block: a LF after it is part of that line end
};
