#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "capture/header.h"

namespace {

TEST(CaptureHeader, IsAnEmptyWaveFileInTheCaptureFormat) {
  complete_header();
  const std::array<std::uint8_t, 44> expected = {
      0x52, 0x49, 0x46, 0x46, 0x24, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
      0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x88, 0x58, 0x01, 0x00, 0x30, 0x13,
      0x08, 0x00, 0x06, 0x00, 0x18, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x00,
  };
  EXPECT_EQ(WAV_HEADER, expected);
}

TEST(CaptureHeader, FieldsAgreeWithEachOther) {
  complete_header();
  const auto u16 = [](std::size_t at) { return WAV_HEADER[at] | WAV_HEADER[at + 1] << 8; };
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  };
  const std::uint32_t channels = u16(22);
  const std::uint32_t rate = u32(24);
  const std::uint32_t bits = u16(34);
  EXPECT_EQ(u32(4), WAV_HEADER.size() - 8);
  EXPECT_EQ(u16(32), channels * bits / 8);
  EXPECT_EQ(u32(28), rate * channels * bits / 8);
  EXPECT_EQ(u32(40), 0U);
  complete_header();
  EXPECT_EQ(u32(28), 529200U) << "completing twice changes nothing";
}

}  // namespace
