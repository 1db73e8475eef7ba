#include "wav.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>

#include "audio_server.h"
#include "errors.h"

namespace waveaudio {
namespace {

using testing::empty_wav;
using testing::TempDir;
using testing::write_file;
using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8U);
}

Bytes with(const std::function<void(Bytes&)>& change) {
  Bytes b = empty_wav();
  change(b);
  return b;
}

Bytes cut(std::size_t size) {
  const Bytes b = empty_wav();
  return {b.begin(), b.begin() + static_cast<std::ptrdiff_t>(size)};
}

// A chunk that readers skip: id, size, and the bytes with their pad byte.
Bytes list_chunk() { return {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}; }

TEST(ReadFormat, TakesTheFormatOfPcmFilesAndRefusesOthers) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::int32_t result;
  };
  const Case cases[] = {
      {"the program's empty file", empty_wav(), 0},
      {"a chunk before fmt", with([](Bytes& b) {
         const Bytes list = list_chunk();
         b.insert(b.begin() + 12, list.begin(), list.end());
       }),
       0},
      {"an 18-byte fmt chunk", with([](Bytes& b) {
         b[16] = 18;
         b.insert(b.begin() + 36, {0, 0});
       }),
       0},
      {"samples after the header", with([](Bytes& b) { b.insert(b.end(), 600, 7); }), 0},
      {"an empty file", {}, error::kInvalidFile},
      {"cut short in the fmt chunk", cut(30), error::kInvalidFile},
      {"cut short before the data chunk", cut(36), error::kInvalidFile},
      {"not RIFF", with([](Bytes& b) { b[0] = 'X'; }), error::kInvalidFile},
      {"not WAVE", with([](Bytes& b) { b[8] = 'A'; }), error::kInvalidFile},
      {"IEEE float", with([](Bytes& b) { put16(b, 20, 3); }), error::kInvalidFile},
      {"extensible format", with([](Bytes& b) { put16(b, 20, 0xFFFE); }), error::kInvalidFile},
      {"no channels", with([](Bytes& b) { put16(b, 22, 0); }), error::kInvalidFile},
      {"12 bits", with([](Bytes& b) { put16(b, 34, 12); }), error::kInvalidFile},
      {"wrong block alignment", with([](Bytes& b) { put16(b, 32, 4); }), error::kInvalidFile},
      {"wrong byte rate", with([](Bytes& b) { b[28] = 0; }), error::kInvalidFile},
      {"a byte rate right only modulo 2^32", with([](Bytes& b) { b[27] = 0x80; }),
       error::kInvalidFile},
      {"fmt chunk too small", with([](Bytes& b) { b[16] = 14; }), error::kInvalidFile},
      {"a chunk of odd size 2^32 - 1 before fmt", with([](Bytes& b) {
         b.insert(b.begin() + 12, {'J', 'U', 'N', 'K', 0xFF, 0xFF, 0xFF, 0xFF});
       }),
       error::kInvalidFile},
      {"data before fmt",
       Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 0, 0, 0, 0},
       error::kInvalidFile},
  };
  const TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir / "element.wav";
    write_file(path, c.bytes);
    Format format;
    ASSERT_EQ(read_format(path, format), c.result) << c.what;
    if (c.result != 0) {
      continue;
    }
    EXPECT_EQ(format.channels, 2) << c.what;
    EXPECT_EQ(format.rate, 88200U) << c.what;
    EXPECT_EQ(format.bits, 24) << c.what;
    EXPECT_EQ(format.block_align, 6) << c.what;
  }
}

TEST(ReadFormat, TellsAMissingFileFromAnUnreadableOne) {
  const TempDir dir;
  Format format;
  EXPECT_EQ(read_format(dir / "missing.wav", format), error::kFileNotFound);
  EXPECT_EQ(read_format(dir / "missing/e.wav", format), error::kFileNotFound);
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
  EXPECT_EQ(read_format(dir / "folder", format), error::kInvalidFile);
}

TEST(Header, DescribesTheFormatAndTheDataSize) {
  const Format format{2, 88200, 24, 6};
  const auto empty = header(format, 0);
  EXPECT_EQ(Bytes(empty.begin(), empty.end()), empty_wav());

  const auto full = header(format, 0x01020306);
  Bytes expected = empty_wav();
  expected[4] = 0x2A;  // 36 + 0x01020306 = 0x0102032A
  expected[5] = 0x03;
  expected[6] = 0x02;
  expected[7] = 0x01;
  expected[40] = 0x06;
  expected[41] = 0x03;
  expected[42] = 0x02;
  expected[43] = 0x01;
  EXPECT_EQ(Bytes(full.begin(), full.end()), expected);
}

TEST(MaxDataBytes, IsTheMostWholeFramesThatTheRiffSizeCanCount) {
  constexpr std::uint64_t kMaxRiff = 0xFFFFFFFF;
  EXPECT_EQ(max_data_bytes(6), 4294967256U);
  for (const std::uint16_t block_align : std::initializer_list<std::uint16_t>{1, 2, 4, 6, 8, 32}) {
    const std::uint64_t most = max_data_bytes(block_align);
    EXPECT_EQ(most % block_align, 0U) << block_align;
    EXPECT_LE(most + 36, kMaxRiff) << block_align;
    EXPECT_GT(most + block_align + 36, kMaxRiff) << block_align;
  }
}

}  // namespace
}  // namespace waveaudio
