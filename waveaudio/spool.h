#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "wav.h"

// The recording's spool: an unnamed file on disk, holding a WAV header and
// the samples captured so far. Being unnamed, it vanishes with the process.
namespace waveaudio {

class Spool {
 public:
  Spool() = default;
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;
  ~Spool();

  // Makes the spool in the directory for a recording of the format. Answers 0 or errno.
  int open(const std::string& directory, const Format& format);

  // Appends samples; answers false, leaving the recording as it was, when
  // they cannot all be written.
  bool append(const std::uint8_t* data, std::size_t size);

  [[nodiscard]] std::uint32_t data_bytes() const { return data_bytes_; }

  // Makes the spool a file of its own again after a save gave it a name,
  // copying the recording, so that more samples leave the saved file as it
  // is. Answers 0 or errno.
  int make_private();

  // Writes the recording under the name as a complete WAV file. Answers 0 or
  // errno (ENOENT or ENOTDIR when the directory does not exist).
  int save(const std::string& target);

  // The spool's descriptor, for tests that look at which file it is.
  [[nodiscard]] int descriptor() const { return fd_; }

 private:
  int make_file();

  int directory_ = -1;  // where the spool is made
  int fd_ = -1;
  bool linkable_ = false;   // unnamed, so that a save can give it a name
  bool published_ = false;  // a save gave it a name: it is no longer ours to write
  Format format_;
  std::uint32_t data_bytes_ = 0;
};

}  // namespace waveaudio
