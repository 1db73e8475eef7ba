#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "console.h"
#include "posix_errors.h"

namespace {

// Prepares the standard streams once, before main, so that no call of the
// program has to remember it.
struct StandardStreams {
  StandardStreams() noexcept {
    // A write to a pipe whose reader has gone fails with EPIPE, which the
    // program reports, instead of ending the process.
    static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
    // A standard stream the process was started without stays unusable: its
    // number is taken by /dev/null opened for the other direction, so reads or
    // writes on it fail with EBADF as on a closed descriptor, and no file the
    // program or the device opens later can take its place. open() takes the
    // lowest free number, which is `fd` here.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
      if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
        ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
      }
    }
  }
};

const StandardStreams STANDARD_STREAMS;

}  // namespace

namespace console {

std::uint32_t write(Stream stream, const char* data, std::size_t size, std::size_t& written) {
  const int fd = stream == Stream::output ? STDOUT_FILENO : STDERR_FILENO;
  written = 0;
  while (written < size) {
    const ssize_t count = ::write(fd, data + written, size - written);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return windows_error_code(errno);
    }
    if (count == 0) {
      break;  // cut short: `written` tells by how much
    }
    written += static_cast<std::size_t>(count);
  }
  return 0;
}

std::uint32_t read(char* data, std::size_t size, std::size_t& got) {
  got = 0;
  for (;;) {
    const ssize_t count = ::read(STDIN_FILENO, data, size);
    if (count >= 0) {
      got = static_cast<std::size_t>(count);
      return 0;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == EPIPE || errno == ECONNRESET) {
      return 0;  // a broken pipe reads as the end of input
    }
    return windows_error_code(errno);
  }
}

// Text is bytes on this platform: nothing to convert.
unsigned input_code_page() { return 0; }

std::string to_ansi(const std::string& text, unsigned /*code_page*/) { return text; }

}  // namespace console
