#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// Helpers for the device's tests: scratch directories, files, and a headless
// audio server whose capture device returns known frames.
namespace waveaudio::testing {

// A new directory under `base`, removed with everything in it at the end.
class TempDir {
 public:
  explicit TempDir(const std::string& base = ".");
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  [[nodiscard]] const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::string> list_dir(const std::string& path);  // sorted, without . and ..

// How many of this process's descriptors are open on the file at the path,
// and how many are open at all.
int descriptors_on(const std::string& path);
int descriptors();

// The 44 bytes of an empty PCM WAVE file, stereo, 88200 Hz, 24-bit.
std::vector<std::uint8_t> empty_wav();

// Deterministic, non-repeating bytes: `frames` frames of stereo S24_3LE.
std::vector<std::uint8_t> fixture(std::size_t frames);

// A PulseAudio daemon of its own with a null source that paces capture in
// real time, and an ALSA configuration (set in this process's environment)
// whose "default" capture device returns the fixture's frames, then silence.
class AudioServer {
 public:
  explicit AudioServer(const std::vector<std::uint8_t>& frames);
  AudioServer(const AudioServer&) = delete;
  AudioServer& operator=(const AudioServer&) = delete;
  ~AudioServer();

 private:
  TempDir dir_;
  pid_t pid_ = -1;
};

// Points ALSA at a configuration file holding `text`, kept in `dir`.
void use_alsa_config(const TempDir& dir, const std::string& text);

}  // namespace waveaudio::testing
