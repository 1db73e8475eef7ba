#include "spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "publish.h"

namespace waveaudio {
namespace {

bool write_at(int fd, const std::uint8_t* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

// Where unnamed files are not supported: a file made and unlinked at once.
int make_unlinked(int directory) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    const std::string name =
        ".waveaudio-spool-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const int fd = openat(directory, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      unlinkat(directory, name.c_str(), 0);
      return fd;
    }
    if (errno != EEXIST) {
      return -1;
    }
  }
}

}  // namespace

Spool::~Spool() {
  if (fd_ >= 0) {
    close(fd_);
  }
  if (directory_ >= 0) {
    close(directory_);
  }
}

int Spool::make_file() {
  int fd = make_unnamed(directory_);
  linkable_ = fd >= 0;
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
    fd = make_unlinked(directory_);
  }
  return fd;
}

int Spool::open(const std::string& directory, const Format& format) {
  directory_ = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (directory_ < 0) {
    return errno;
  }
  fd_ = make_file();
  if (fd_ < 0) {
    return errno;
  }
  format_ = format;
  const auto empty = header(format_, 0);
  return write_at(fd_, empty.data(), empty.size(), 0) ? 0 : (errno != 0 ? errno : EIO);
}

bool Spool::append(const std::uint8_t* data, std::size_t size) {
  if (!write_at(fd_, data, size, static_cast<off_t>(kHeaderSize + data_bytes_))) {
    return false;
  }
  data_bytes_ += static_cast<std::uint32_t>(size);
  return true;
}

int Spool::make_private() {
  if (!published_) {
    return 0;
  }
  const int fd = make_file();
  if (fd < 0) {
    return errno;
  }
  if (const int result = copy_bytes(fd_, fd, kHeaderSize + data_bytes_); result != 0) {
    close(fd);
    return result;
  }
  close(fd_);
  fd_ = fd;
  published_ = false;
  return 0;
}

int Spool::save(const std::string& target) {
  const std::uint64_t size = kHeaderSize + data_bytes_;
  if (!published_) {
    const auto complete = header(format_, data_bytes_);
    if (!write_at(fd_, complete.data(), complete.size(), 0) ||
        ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      return errno != 0 ? errno : EIO;
    }
  }
  bool linked = false;
  const int result = publish(fd_, size, linkable_ && !published_, target, linked);
  published_ = published_ || linked;
  return result;
}

}  // namespace waveaudio
