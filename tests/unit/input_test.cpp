#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "input.h"

namespace {

// Hands out the given blocks one per read, then the end of input, and
// counts the reads so that a test can see when input is waited for.
struct Blocks {
  std::vector<std::string> blocks;
  std::size_t next = 0;
  std::size_t reads = 0;

  Input::Reader reader() {
    return [this](char* data, std::size_t size) -> std::size_t {
      ++reads;
      if (next == blocks.size()) {
        return 0;
      }
      const std::string& block = blocks[next++];
      EXPECT_LE(block.size(), size);
      std::copy(block.begin(), block.end(), data);
      return block.size();
    };
  }
};

std::vector<std::string> lines_of(std::vector<std::string> blocks, std::size_t count) {
  Blocks source{std::move(blocks)};
  Input input(source.reader());
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i) {
    lines.push_back(input.read_line());
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(ReadLine, EndsAtEachKindOfLineEnd) {
  EXPECT_EQ(lines_of({"one\r\ntwo\nthree\rfour"}, 4), (Lines{"one", "two", "three", "four"}));
  EXPECT_EQ(lines_of({"\r\n\n\r"}, 3), (Lines{"", "", ""}));
  EXPECT_EQ(lines_of({"a\n\rb"}, 3), (Lines{"a", "", "b"}));
}

TEST(ReadLine, KeepsBlanksQuotesAndControlCharacters) {
  EXPECT_EQ(lines_of({"  \"a b.wav\"\t \x01\r\n"}, 1), (Lines{"  \"a b.wav\"\t \x01"}));
}

TEST(ReadLine, JoinsLinesAcrossBlocks) {
  EXPECT_EQ(lines_of({"first pa", "rt\r\nsec", "ond\n"}, 2), (Lines{"first part", "second"}));
}

TEST(ReadLine, TakesACarriageReturnAndLineFeedSplitAcrossBlocksAsOneLineEnd) {
  EXPECT_EQ(lines_of({"stop\r", "\nname.wav\r\n"}, 2), (Lines{"stop", "name.wav"}));
  EXPECT_EQ(lines_of({"stop\r", "name.wav\r\n"}, 2), (Lines{"stop", "name.wav"}));
}

TEST(ReadLine, DoesNotWaitForMoreInputAfterALineEnd) {
  Blocks source{{"stop\r"}};
  Input input(source.reader());
  EXPECT_EQ(input.read_line(), "stop");
  EXPECT_EQ(source.reads, 1U);
}

TEST(ReadLine, HasNoLengthLimit) {
  const std::string long_name(5000, 'x');
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < long_name.size(); at += Input::BLOCK) {
    blocks.push_back(long_name.substr(at, Input::BLOCK));
  }
  blocks.emplace_back("\r\n");
  EXPECT_EQ(lines_of(blocks, 1), (Lines{long_name}));
}

TEST(ReadLine, ReturnsEmptyTextAtOnceAtTheEndOfInput) {
  Blocks source{{}};
  Input input(source.reader());
  EXPECT_EQ(input.read_line(), "");
  EXPECT_EQ(input.read_line(), "");
  EXPECT_EQ(lines_of({"last"}, 2), (Lines{"last", ""}));
}

TEST(ReadLine, StopsBeforeTheEndMarkAndLeavesItUnread) {
  EXPECT_EQ(lines_of({"ab\x1a"
                      "cd\r\nef\r\n"},
                     3),
            (Lines{"ab", "", ""}));
  EXPECT_EQ(lines_of({"\x1a\r\nname\r\n"}, 2), (Lines{"", ""}));
}

TEST(ReadChar, TakesTheFirstByteOnly) {
  Blocks source{{"xyz\r\n"}};
  Input input(source.reader());
  EXPECT_EQ(input.read_char(), 'x');
  EXPECT_EQ(source.reads, 1U);
}

TEST(ReadChar, GivesTheCarriageReturnOfAnEmptyLineAndTheEndMarkAtTheEnd) {
  Blocks typed{{"\r\n"}};
  EXPECT_EQ(Input(typed.reader()).read_char(), '\r');
  Blocks none{{}};
  EXPECT_EQ(Input(none.reader()).read_char(), Input::END_MARK);
}

}  // namespace
