#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failure.h"

namespace {

using process::Frame;

TEST(FailureReport, LaysOutHeaderKindFramesAndEmptyLine) {
  const std::vector<Frame> frames = {
      {0x401A2BULL, {}, 0, {}},
      {0x7FF6123456789ABCULL, "write_text", 42, "src/dialogue.cpp"},
  };
  EXPECT_EQ(failure_report(0x401A2BULL, "IOError", "Disk Full", frames),
            "An unhandled exception occurred at $0000000000401A2B:\r\n"
            "IOError: Disk Full\r\n"
            "  $0000000000401A2B\r\n"
            "  $7FF6123456789ABC  write_text, line 42 of src/dialogue.cpp\r\n"
            "\r\n");
}

std::vector<Frame> walk_of(std::vector<std::uint64_t> addresses) {
  std::vector<Frame> walk;
  for (const std::uint64_t address : addresses) {
    walk.push_back(Frame{address, {}, 0, {}});
  }
  return walk;
}

std::vector<std::uint64_t> addresses_of(const std::vector<Frame>& frames) {
  std::vector<std::uint64_t> addresses;
  for (const Frame& frame : frames) {
    addresses.push_back(frame.address);
  }
  return addresses;
}

TEST(ReportFrames, StartAtTheDetectionAddressAndSkipTheReportItself) {
  const auto frames = report_frames(0x30, walk_of({0x10, 0x20, 0x30, 0x40, 0x50}));
  EXPECT_EQ(addresses_of(frames), (std::vector<std::uint64_t>{0x30, 0x40, 0x50}));
}

TEST(ReportFrames, KeepTheLineInformationOfTheDetectingFrame) {
  std::vector<Frame> walk = walk_of({0x10, 0x30, 0x40});
  walk[1].routine = "write_tmp_file";
  const auto frames = report_frames(0x30, walk);
  ASSERT_EQ(addresses_of(frames), (std::vector<std::uint64_t>{0x30, 0x40}));
  EXPECT_EQ(frames[0].routine, "write_tmp_file");
}

TEST(ReportFrames, KeepAtMostSixteenCallers) {
  std::vector<std::uint64_t> deep;
  for (std::uint64_t address = 1; address <= 40; ++address) {
    deep.push_back(address);
  }
  const auto frames = report_frames(3, walk_of(deep));
  ASSERT_EQ(frames.size(), 17U);
  EXPECT_EQ(frames.front().address, 3U);
  EXPECT_EQ(frames.back().address, 19U);
}

TEST(ReportFrames, FallBackToTheAddressAloneWhenTheWalkMissesIt) {
  EXPECT_EQ(addresses_of(report_frames(0x99, walk_of({0x10, 0x20}))),
            (std::vector<std::uint64_t>{0x99}));
}

}  // namespace
