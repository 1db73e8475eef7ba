#include "capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio_server.h"
#include "spool.h"

namespace waveaudio {
namespace {

using testing::fixture;
using testing::read_file;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

// The capture stops by itself at the limit, in whole frames, however long
// the device goes on: this is how a recording stops at the RIFF size limit.
TEST(Capture, StopsAtTheLimitInWholeFrames) {
  const Bytes frames = fixture(88200);
  const testing::AudioServer server(frames);
  const TempDir dir;
  const Format format{2, 88200, 24, 6};
  Spool spool;
  ASSERT_EQ(spool.open(dir.path(), format), 0);
  Capture capture;
  constexpr std::uint32_t kLimit = 1000 * 6 + 5;
  ASSERT_EQ(capture.start(format, 4, spool, kLimit), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(capture.running());
  capture.stop();
  EXPECT_EQ(spool.data_bytes(), 6000U);

  ASSERT_EQ(capture.start(format, 4, spool, kLimit), 0);  // a full spool takes no more
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  capture.stop();
  ASSERT_EQ(spool.save(dir / "limit.wav"), 0);
  const Bytes saved = read_file(dir / "limit.wav");
  ASSERT_EQ(saved.size(), 44U + 6000U);
  EXPECT_EQ(Bytes(saved.begin() + 4, saved.begin() + 8), (Bytes{0x94, 0x17, 0, 0}));    // 6036
  EXPECT_EQ(Bytes(saved.begin() + 40, saved.begin() + 44), (Bytes{0x70, 0x17, 0, 0}));  // 6000
  EXPECT_EQ(Bytes(saved.begin() + 44, saved.end()), Bytes(frames.begin(), frames.begin() + 6000));
}

}  // namespace
}  // namespace waveaudio
