// The device's WAVE header reader, over any file. read_format answers 0
// exactly when the file's chunks, each whole within the file, lead to a
// "data" chunk after a "fmt " chunk whose PCM format is consistent, and then
// gives the last such format. The header that the device writes for that
// format carries the same fmt fields and reads back as the same format, and
// the most data that header can declare is whole frames that fit its sizes.
//
// The bytes are put in a memory file, which the reader opens by its path
// under /proc/self/fd as it opens any other file.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "check.h"
#include "waveaudio/errors.h"
#include "waveaudio/wav.h"

using waveaudio::Format;

namespace {

constexpr std::size_t kFmtSize = 16;

std::uint32_t u32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8U | std::uint32_t{p[2]} << 16U |
         std::uint32_t{p[3]} << 24U;
}

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8U); }

// A PCM format whose frame and byte rate follow from its channels, rate and
// width, as whole numbers.
bool consistent(const std::uint8_t* fmt) {
  const std::uint16_t channels = u16(fmt + 2);
  const std::uint32_t rate = u32(fmt + 4);
  const std::uint16_t bits = u16(fmt + 14);
  const std::uint64_t frame = std::uint64_t{channels} * bits / 8;
  return u16(fmt) == 1 && channels > 0 && rate > 0 &&
         (bits == 8 || bits == 16 || bits == 24 || bits == 32) && u16(fmt + 12) == frame &&
         u32(fmt + 8) == rate * frame;
}

// Where the fmt fields that count start, or 0 when the file has no format.
std::size_t format_at(const std::uint8_t* data, std::size_t size) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
    return 0;
  }
  std::size_t fmt = 0;
  for (std::uint64_t at = 12; at + 8 <= size;) {
    const std::uint8_t* chunk = data + at;
    const std::uint64_t length = u32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      return fmt;
    }
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < kFmtSize || at + 8 + kFmtSize > size || !consistent(chunk + 8)) {
        return 0;
      }
      fmt = at + 8;
    }
    at += 8 + length + (length & 1U);
  }
  return 0;
}

// A memory file that holds the bytes at hand, and its path.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("element", MFD_CLOEXEC)) {
    check(fd_ >= 0, "a memory file can be made");
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { close(fd_); }

  void hold(const std::uint8_t* data, std::size_t size) const {
    check(ftruncate(fd_, 0) == 0 && write_at(data, size), "the memory file takes the bytes");
  }

  [[nodiscard]] std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  [[nodiscard]] bool write_at(const std::uint8_t* data, std::size_t size) const {
    for (std::size_t done = 0; done < size;) {
      const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (n <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  int fd_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const MemoryFile file;
  file.hold(data, size);
  Format format;
  const std::int32_t result = waveaudio::read_format(file.path(), format);
  const std::size_t fmt = format_at(data, size);
  check(result == (fmt != 0 ? 0 : waveaudio::error::kInvalidFile),
        "read_format answers 0 exactly for a consistent PCM header before data");
  if (fmt == 0) {
    return 0;
  }
  check(format.channels == u16(data + fmt + 2) && format.rate == u32(data + fmt + 4) &&
            format.block_align == u16(data + fmt + 12) && format.bits == u16(data + fmt + 14),
        "the format is the last fmt chunk's");

  const auto header = waveaudio::header(format, 0);
  check(std::memcmp(header.data() + 20, data + fmt, kFmtSize) == 0,
        "the written header carries the fmt fields read");
  file.hold(header.data(), header.size());
  Format again;
  check(waveaudio::read_format(file.path(), again) == 0 && again.channels == format.channels &&
            again.rate == format.rate && again.block_align == format.block_align &&
            again.bits == format.bits,
        "the written header reads back as the same format");

  const std::uint64_t most = waveaudio::max_data_bytes(format.block_align);
  const std::uint64_t riff_limit = std::numeric_limits<std::uint32_t>::max() - 36;
  check(most % format.block_align == 0 && most <= riff_limit &&
            most + format.block_align > riff_limit,
        "the most data is the whole frames that the RIFF size can count");
  return 0;
}
