#include "wav.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "errors.h"

namespace waveaudio {
namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint32_t kFmtSize = 16;
constexpr std::uint32_t kRiffOverhead = kHeaderSize - 8;  // what the RIFF size counts besides data

std::uint32_t u32(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = v << 8U | p[i];
  }
  return v;
}

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8U)); }

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
}

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8U);
}

// The element file, read with plain system calls and closed again at once.
class Element {
 public:
  explicit Element(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  ~Element() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }

  [[nodiscard]] bool is_open() const { return fd_ >= 0; }

  bool read(std::uint8_t* p, std::size_t n) const {
    while (n > 0) {
      const ssize_t got = ::read(fd_, p, n);
      if (got <= 0) {
        if (got < 0 && errno == EINTR) {
          continue;
        }
        return false;
      }
      p += got;
      n -= static_cast<std::size_t>(got);
    }
    return true;
  }

  void skip(std::uint64_t n) const { ::lseek(fd_, static_cast<off_t>(n), SEEK_CUR); }

 private:
  int fd_;
};

bool valid_pcm(const std::uint8_t* fmt, Format& format) {
  format.channels = u16(fmt + 2);
  format.rate = u32(fmt + 4);
  format.block_align = u16(fmt + 12);
  format.bits = u16(fmt + 14);
  const bool known_width =
      format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32;
  return u16(fmt) == kPcm && format.channels > 0 && format.rate > 0 && known_width &&
         format.block_align == format.channels * format.bits / 8 &&
         u32(fmt + 8) == std::uint64_t{format.rate} * format.block_align;
}

}  // namespace

std::int32_t read_format(const std::string& path, Format& format) {
  Element in(path);
  if (!in.is_open()) {
    return errno == ENOENT || errno == ENOTDIR ? error::kFileNotFound : error::kInvalidFile;
  }
  std::uint8_t riff[12];
  if (!in.read(riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0) {
    return error::kInvalidFile;
  }
  bool have_format = false;
  for (;;) {
    std::uint8_t chunk[8];
    if (!in.read(chunk, sizeof chunk)) {
      return error::kInvalidFile;
    }
    const std::uint32_t size = u32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      return have_format ? 0 : error::kInvalidFile;
    }
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      std::uint8_t fmt[kFmtSize];
      if (size < kFmtSize || !in.read(fmt, sizeof fmt) || !valid_pcm(fmt, format)) {
        return error::kInvalidFile;
      }
      have_format = true;
      in.skip(std::uint64_t{size} - kFmtSize + (size & 1U));
    } else {
      in.skip(std::uint64_t{size} + (size & 1U));
    }
  }
}

std::array<std::uint8_t, kHeaderSize> header(const Format& format, std::uint32_t data_bytes) {
  std::array<std::uint8_t, kHeaderSize> h{};
  std::memcpy(h.data(), "RIFF", 4);
  put32(h.data() + 4, kRiffOverhead + data_bytes);
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  put32(h.data() + 16, kFmtSize);
  put16(h.data() + 20, kPcm);
  put16(h.data() + 22, format.channels);
  put32(h.data() + 24, format.rate);
  put32(h.data() + 28, format.rate * format.block_align);
  put16(h.data() + 32, format.block_align);
  put16(h.data() + 34, format.bits);
  std::memcpy(h.data() + 36, "data", 4);
  put32(h.data() + 40, data_bytes);
  return h;
}

std::uint32_t max_data_bytes(std::uint16_t block_align) {
  const std::uint32_t most = std::numeric_limits<std::uint32_t>::max() - kRiffOverhead;
  return most / block_align * block_align;
}

}  // namespace waveaudio
