#include "trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace waveaudio {

void trace(const char* command, std::int32_t result) {
  const char* path = std::getenv("WAVEAUDIO_TRACE");
  if (path == nullptr || *path == '\0') {
    return;
  }
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    return;
  }
  const std::string line = std::string(command) + " -> " + std::to_string(result) + "\n";
  // One write, so that lines from several threads or processes do not mix.
  [[maybe_unused]] const ssize_t written = write(fd, line.data(), line.size());
  close(fd);
}

}  // namespace waveaudio
