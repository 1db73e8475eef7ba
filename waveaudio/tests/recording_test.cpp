#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "audio_server.h"
#include "errors.h"
#include "waveaudio.h"

namespace waveaudio {
namespace {

using testing::AudioServer;
using testing::descriptors_on;
using testing::empty_wav;
using testing::fixture;
using testing::list_dir;
using testing::read_file;
using testing::TempDir;
using testing::write_file;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kFrame = 6;
constexpr std::size_t kFixtureFrames = 88200;  // one second

std::int32_t send(const std::string& command) {
  char unused = 0;
  return send_string(command.c_str(), &unused, 0, 0);
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 4; i > 0; --i) {
    v = v << 8U | b[at + i - 1];
  }
  return v;
}

// The samples of a saved file, after checking that its header is the
// element's format (PCM, stereo, 88200 Hz, 24-bit) with sizes that agree.
Bytes samples(const Bytes& file) {
  const Bytes empty = empty_wav();
  if (file.size() < empty.size()) {
    ADD_FAILURE() << "a file of " << file.size() << " bytes";
    return {};
  }
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), Bytes(empty.begin(), empty.begin() + 4));
  EXPECT_EQ(Bytes(file.begin() + 8, file.begin() + 40),
            Bytes(empty.begin() + 8, empty.begin() + 40));
  EXPECT_EQ(u32(file, 4), file.size() - 8);
  EXPECT_EQ(u32(file, 40), file.size() - 44);
  EXPECT_EQ((file.size() - 44) % kFrame, 0U);
  return {file.begin() + 44, file.end()};
}

Bytes prefix(const Bytes& bytes, std::size_t size) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

// The `size` bytes of samples that the capture device gives from its start:
// the fixture's frames, then silence. A slow machine records past the
// fixture's end.
Bytes captured(const Bytes& fixture, std::size_t size) {
  Bytes bytes(size, 0);
  std::copy_n(fixture.begin(), std::min(size, fixture.size()), bytes.begin());
  return bytes;
}

void record_for(const std::string& alias, std::chrono::milliseconds length) {
  ASSERT_EQ(send("record " + alias), 0);
  std::this_thread::sleep_for(length);
  ASSERT_EQ(send("stop " + alias), 0);
}

class Recording : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(element_, empty_wav());
    ASSERT_EQ(send("open " + element_ + " type waveaudio alias wav1 buffer 4"), 0);
  }
  void TearDown() override { send("close wav1"); }

  const Bytes fixture_ = fixture(kFixtureFrames);
  AudioServer server_{fixture_};
  TempDir dir_;
  const std::string element_ = dir_ / ")(rec)(.tmp";
};

TEST_F(Recording, SavesExactlyTheCapturedFrames) {
  record_for("wav1", std::chrono::milliseconds(400));
  ASSERT_EQ(send("save wav1 \"" + (dir_ / "My Take.WAV") + "\""), 0);
  const Bytes data = samples(read_file(dir_ / "My Take.WAV"));
  EXPECT_GE(data.size(), 88200 * kFrame / 5);  // at least 0.2 s of the 0.4 s
  EXPECT_LT(data.size(), fixture_.size());
  EXPECT_EQ(data, captured(fixture_, data.size()));
  EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{")(rec)(.tmp", "My Take.WAV"}));
}

TEST_F(Recording, KeepsRecordingAfterTheRecordCommandReturnsUntilStop) {
  ASSERT_EQ(send("record wav1"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(send("save wav1 " + (dir_ / "first.wav")), 0);  // save stops the recording first
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(send("save wav1 " + (dir_ / "second.wav")), 0);
  const Bytes first = samples(read_file(dir_ / "first.wav"));
  EXPECT_GT(first.size(), 0U);
  EXPECT_EQ(read_file(dir_ / "second.wav"), read_file(dir_ / "first.wav"));
}

TEST_F(Recording, RecordsOnSeveralAliasesAtOnce) {
  const std::string other = dir_ / "other.tmp";
  write_file(other, empty_wav());
  ASSERT_EQ(send("open " + other + " type waveaudio alias wav2"), 0);
  ASSERT_EQ(send("record wav1"), 0);
  ASSERT_EQ(send("record wav2"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(send("stop wav1"), 0);
  ASSERT_EQ(send("save wav2 " + (dir_ / "2.wav")), 0);
  ASSERT_EQ(send("save wav1 " + (dir_ / "1.wav")), 0);
  ASSERT_EQ(send("close wav2"), 0);
  for (const char* name : {"1.wav", "2.wav"}) {
    const Bytes data = samples(read_file(dir_ / name));
    EXPECT_GT(data.size(), 0U) << name;
    EXPECT_EQ(data, captured(fixture_, data.size())) << name;
  }
}

TEST_F(Recording, SaveReplacesAnExistingFileAndLeavesNoOtherFile) {
  const std::string target = dir_ / "out.wav";
  write_file(target, Bytes(std::size_t{3} * 1024 * 1024, 0xAB));
  const int link_count_before = 1;
  record_for("wav1", std::chrono::milliseconds(300));
  ASSERT_EQ(send("save wav1 " + target), 0);
  const Bytes data = samples(read_file(target));
  EXPECT_GT(data.size(), 0U);
  EXPECT_EQ(data, captured(fixture_, data.size()));
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_nlink, link_count_before);
  EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{")(rec)(.tmp", "out.wav"}));
}

TEST_F(Recording, SaveThatCannotBeDoneLeavesNothingBehind) {
  record_for("wav1", std::chrono::milliseconds(200));
  ASSERT_EQ(mkdir((dir_ / "folder").c_str(), 0755), 0);
  const std::pair<std::string, std::int32_t> cases[] = {
      {"save wav1 " + (dir_ / "missing/out.wav"), error::kFileNotFound},
      {"save wav1 " + (dir_ / ")(rec)(.tmp/out.wav"), error::kFileNotFound},
      {"save wav1 " + (dir_ / "folder"), error::kFileNotSaved},
      {"save wav1 " + (dir_ / "folder/"), error::kFileNotSaved},
      {"save wav1 ", error::kFileNotSaved},
      {"save wav1 \"\"", error::kFileNotSaved},
  };
  for (const auto& [command, result] : cases) {
    EXPECT_EQ(send(command), result) << command;
  }
  EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{")(rec)(.tmp", "folder"}));
  EXPECT_EQ(list_dir(dir_ / "folder"), std::vector<std::string>{});
  ASSERT_EQ(send("save wav1 " + (dir_ / "folder/ok.wav")), 0);
  const Bytes data = samples(read_file(dir_ / "folder/ok.wav"));
  EXPECT_EQ(data, captured(fixture_, data.size()));
}

// A save on the spool's file system gives the spool itself the name; more
// recording afterwards goes to a spool of its own and leaves the file as saved.
TEST_F(Recording, SavedFileStaysAsSavedWhenRecordingGoesOn) {
  record_for("wav1", std::chrono::milliseconds(300));
  const std::string first = dir_ / "first.wav";
  ASSERT_EQ(send("save wav1 " + first), 0);
  EXPECT_EQ(descriptors_on(first), 1);  // the spool, linked into place
  const Bytes saved = read_file(first);
  const Bytes first_data = samples(saved);

  record_for("wav1", std::chrono::milliseconds(300));
  EXPECT_EQ(descriptors_on(first), 0);
  const std::string second = dir_ / "second.wav";
  ASSERT_EQ(send("save wav1 " + second), 0);
  EXPECT_EQ(read_file(first), saved);
  const Bytes second_data = samples(read_file(second));
  ASSERT_GT(second_data.size(), first_data.size());
  // The second take follows the first; the device starts the fixture anew.
  EXPECT_EQ(prefix(second_data, first_data.size()), first_data);
  const Bytes take(second_data.begin() + static_cast<std::ptrdiff_t>(first_data.size()),
                   second_data.end());
  EXPECT_EQ(take, captured(fixture_, take.size()));
}

TEST_F(Recording, SaveToAnotherFileSystemCopies) {
  const TempDir shm("/dev/shm");
  struct stat spool_fs {};
  struct stat target_fs {};
  ASSERT_EQ(stat(dir_.path().c_str(), &spool_fs), 0);
  ASSERT_EQ(stat(shm.path().c_str(), &target_fs), 0);
  if (spool_fs.st_dev == target_fs.st_dev) {
    GTEST_SKIP() << "/dev/shm is on the test's file system";
  }
  record_for("wav1", std::chrono::milliseconds(300));
  const std::string target = shm / "out.wav";
  write_file(target, Bytes(100, 1));
  ASSERT_EQ(send("save wav1 " + target), 0);
  EXPECT_EQ(descriptors_on(target), 0);
  const Bytes saved = read_file(target);
  const Bytes data = samples(saved);
  EXPECT_GT(data.size(), 0U);
  EXPECT_EQ(data, captured(fixture_, data.size()));
  EXPECT_EQ(list_dir(shm.path()), std::vector<std::string>{"out.wav"});
  record_for("wav1", std::chrono::milliseconds(100));
  EXPECT_EQ(read_file(target), saved);
}

// close ends a recording that is still going and releases everything, and
// the element can then be deleted.
TEST(RecordingClose, EndsTheCaptureAndReleasesEverything) {
  const AudioServer server(fixture(kFixtureFrames));
  const TempDir dir;
  const std::string element = dir / ")(rec)(.tmp";
  write_file(element, empty_wav());
  const int before = testing::descriptors();
  ASSERT_EQ(send("open " + element + " type waveaudio alias wav1 buffer 4"), 0);
  ASSERT_EQ(send("record wav1"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_GT(testing::descriptors(), before);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(send("close wav1"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(testing::descriptors(), before);
  EXPECT_EQ(unlink(element.c_str()), 0);
  EXPECT_EQ(list_dir(dir.path()), std::vector<std::string>{});
  EXPECT_EQ(send("record wav1"), error::kInvalidDeviceName);
}

long resident_kib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

// Capture memory is bounded by the device's buffer (the sound server's
// stream fills up to about twice its length), not by the recording: with a
// buffer of one second, resident memory is flat after the first seconds.
TEST(RecordingMemory, DoesNotGrowWithTheLengthOfTheRecording) {
  const Bytes frames = fixture(kFixtureFrames);
  const AudioServer server(frames);
  const TempDir dir;
  write_file(dir / "e.tmp", empty_wav());
  ASSERT_EQ(send("open " + (dir / "e.tmp") + " type waveaudio alias wav1 buffer 1"), 0);
  ASSERT_EQ(send("record wav1"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  const long early = resident_kib();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const long late = resident_kib();
  ASSERT_EQ(send("save wav1 " + (dir / "long.wav")), 0);
  ASSERT_EQ(send("close wav1"), 0);
  const Bytes data = samples(read_file(dir / "long.wav"));
  EXPECT_GT(data.size(), 88200 * kFrame * 4);  // 4.5 s, of which 0.8 MB between the readings
  EXPECT_LT(late - early, 256) << "resident KiB " << early << " then " << late;
}

}  // namespace
}  // namespace waveaudio
