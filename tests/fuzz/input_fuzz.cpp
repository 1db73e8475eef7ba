// The line and character reads of standard input. An input is one byte whose
// low five bits give the number of reads, four bytes whose bits choose each
// read in turn (1 a character, 0 a line), four bytes that seed the random
// cuts, and then the bytes that arrive on standard input.
//
// The reads run over those bytes cut into blocks in four ways: one byte at a
// time, whole blocks of 256, random cuts, and blocks that end just after each
// CR. Every way must answer what the reads answer over the whole input at
// once, and must ask for a block only when the read at hand has to look past
// the bytes it already has: a line end that has arrived never waits for more
// input, and the end of input is never waited on twice.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "check.h"
#include "input.h"

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

struct Script {
  std::vector<bool> chars;  // per read: a character (true) or a line (false)
  std::uint32_t seed = 0;
  std::string stream;
};

Script script_of(const std::uint8_t* data, std::size_t size) {
  const auto byte = [&](std::size_t at) -> std::uint32_t { return at < size ? data[at] : 0; };
  constexpr std::size_t kHead = 9;
  Script script;
  const std::uint32_t choices = byte(1) | byte(2) << 8U | byte(3) << 16U | byte(4) << 24U;
  for (std::uint32_t i = 0; i < (byte(0) & 31U); ++i) {
    script.chars.push_back((choices >> i & 1U) != 0);
  }
  script.seed = byte(5) | byte(6) << 8U | byte(7) << 16U | byte(8) << 24U;
  if (size > kHead) {
    script.stream.assign(reinterpret_cast<const char*>(data) + kHead, size - kHead);
  }
  return script;
}

// What each read answers (a character as a text of one byte), and how far
// into the input it has to look: the index of the last byte it must examine
// plus one, or the input's length plus one where it must see the end.
struct Reads {
  std::vector<std::string> answers;
  std::vector<std::size_t> reach;
};

// The reads over the whole input at once, as input.h describes them.
Reads whole(const Script& script) {
  const std::string& in = script.stream;
  Reads reads;
  std::size_t pos = 0;
  for (const bool is_char : script.chars) {
    if (is_char) {
      reads.answers.emplace_back(1, pos < in.size() ? in[pos] : Input::END_MARK);
      reads.reach.push_back(pos + 1);
      pos = std::min(pos + 1, in.size());
      continue;
    }
    const std::size_t end = std::min(in.find_first_of("\r\n\x1a", pos), in.size());
    reads.answers.push_back(in.substr(pos, end - pos));
    reads.reach.push_back(end + 1);
    if (end == in.size() || in[end] == Input::END_MARK) {
      pos = end;  // the end mark stays unread
    } else if (in[end] == kCr && end + 1 < in.size() && in[end + 1] == kLf) {
      pos = end + 2;
    } else {
      pos = end + 1;
    }
  }
  return reads;
}

// Hands the input out in blocks whose lengths `cut` chooses, and checks when
// the reads ask for them.
class Cuts {
 public:
  // The length of the block that starts at `at`.
  using Cut = std::function<std::size_t(std::size_t at)>;

  Cuts(const std::string& in, Cut cut, std::string name)
      : in_(in), cut_(std::move(cut)), name_(std::move(name)) {}

  Reads run(const std::vector<bool>& chars, const Reads& expected) {
    Input input([this](char* data, std::size_t size) { return give(data, size); });
    Reads got;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      reach_ = expected.reach[i];
      got.answers.push_back(chars[i] ? std::string(1, input.read_char()) : input.read_line());
    }
    return got;
  }

 private:
  std::size_t give(char* data, std::size_t size) {
    check(!ended_, "no block is asked for after the end of input", name_);
    check(given_ < reach_, "a block is asked for only when the read must look further", name_);
    if (given_ == in_.size()) {
      ended_ = true;
      return 0;
    }
    const std::size_t n =
        std::min({std::max<std::size_t>(cut_(given_), 1), size, in_.size() - given_});
    std::memcpy(data, in_.data() + given_, n);
    given_ += n;
    return n;
  }

  const std::string& in_;
  Cut cut_;
  std::string name_;
  std::size_t given_ = 0;
  std::size_t reach_ = 0;
  bool ended_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Script script = script_of(data, size);
  const std::string& in = script.stream;
  const Reads expected = whole(script);

  std::minstd_rand dice(script.seed);
  const std::pair<const char*, Cuts::Cut> cuts[] = {
      {"one byte at a time", [](std::size_t) { return std::size_t{1}; }},
      {"256 at a time", [](std::size_t) { return Input::BLOCK; }},
      {"random cuts", [&](std::size_t) { return 1 + dice() % Input::BLOCK; }},
      {"a CR at each block's end",
       [&](std::size_t at) {
         const std::size_t cr = in.find(kCr, at);
         return cr == std::string::npos ? Input::BLOCK : cr - at + 1;
       }},
  };
  for (const auto& [name, cut] : cuts) {
    const Reads got = Cuts(in, cut, name).run(script.chars, expected);
    for (std::size_t i = 0; i < got.answers.size(); ++i) {
      check(script.chars[i] || got.answers[i].find_first_of("\r\n\x1a") == std::string::npos,
            "a line holds no CR, LF or end mark", name);
    }
    check(got.answers == expected.answers, "the reads answer as over the whole input at once",
          name);
  }
  return 0;
}
