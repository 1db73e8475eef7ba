#include "input.h"

#include <utility>

Input::Input(Reader reader) : reader_(std::move(reader)) {}

bool Input::fill() {
  if (pos_ < len_) {
    return true;
  }
  if (at_end_) {
    return false;
  }
  pos_ = 0;
  len_ = reader_(block_, BLOCK);
  if (len_ == 0) {
    at_end_ = true;
    return false;
  }
  if (skip_lf_) {
    skip_lf_ = false;
    if (block_[0] == '\n') {
      pos_ = 1;
      return fill();
    }
  }
  return true;
}

char Input::read_char() {
  if (!fill()) {
    return END_MARK;
  }
  return block_[pos_++];
}

std::string Input::read_line() {
  std::string line;
  while (fill()) {
    const char c = block_[pos_];
    if (c == END_MARK) {
      break;
    }
    ++pos_;
    if (c == '\n') {
      break;
    }
    if (c == '\r') {
      if (pos_ < len_) {
        if (block_[pos_] == '\n') {
          ++pos_;
        }
      } else {
        skip_lf_ = true;
      }
      break;
    }
    line += c;
  }
  return line;
}
