#include "publish.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace waveaudio {
namespace {

constexpr mode_t kFileMode = 0666;  // narrowed by the umask, as for any new file

// A name for the file in the target's directory until it is renamed into place.
std::string temporary_name(const std::string& directory) {
  static std::atomic<unsigned> counter{0};
  return directory + "/.waveaudio-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

// Gives the unnamed (or spool) file a temporary name in the directory.
int link_temporary(int fd, const std::string& directory, std::string& name) {
  const std::string source = "/proc/self/fd/" + std::to_string(fd);
  for (;;) {
    name = temporary_name(directory);
    if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return 0;
    }
    if (errno != EEXIST) {
      return errno;
    }
  }
}

int rename_into_place(const std::string& name, const std::string& target) {
  if (std::rename(name.c_str(), target.c_str()) == 0) {
    return 0;
  }
  const int failure = errno;
  unlink(name.c_str());
  return failure;
}

// A copy made unnamed in the target's directory and linked in when complete.
int publish_unnamed_copy(int fd, std::uint64_t size, const std::string& directory,
                         const std::string& target, int copy) {
  int result = copy_bytes(fd, copy, size);
  std::string name;
  if (result == 0) {
    result = link_temporary(copy, directory, name);
  }
  close(copy);
  return result == 0 ? rename_into_place(name, target) : result;
}

// A copy under a temporary name, for file systems without unnamed files.
int publish_named_copy(int fd, std::uint64_t size, const std::string& directory,
                       const std::string& target) {
  std::string name;
  int copy = -1;
  do {
    name = temporary_name(directory);
    copy = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
  } while (copy < 0 && errno == EEXIST);
  if (copy < 0) {
    return errno;
  }
  int result = copy_bytes(fd, copy, size);
  if (close(copy) != 0 && result == 0) {
    result = errno;
  }
  if (result != 0) {
    unlink(name.c_str());
    return result;
  }
  return rename_into_place(name, target);
}

}  // namespace

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

int make_unnamed(int directory) {
  return openat(directory, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, kFileMode);
}

int copy_bytes(int from, int to, std::uint64_t size) {
  off_t offset = 0;
  while (static_cast<std::uint64_t>(offset) < size) {
    const ssize_t n = sendfile(to, from, &offset, size - static_cast<std::uint64_t>(offset));
    if (n < 0 && errno != EINTR) {
      return errno;
    }
    if (n == 0) {
      return EIO;  // the file is shorter than it should be
    }
  }
  return 0;
}

int publish(int fd, std::uint64_t size, bool linkable, const std::string& target, bool& linked) {
  linked = false;
  const std::string directory = directory_of(target);
  struct stat status {};
  if (stat(directory.c_str(), &status) != 0) {
    return errno;
  }
  if (!S_ISDIR(status.st_mode)) {
    return ENOTDIR;
  }
  if (target.back() == '/') {
    return EISDIR;
  }
  std::string name;
  if (linkable && link_temporary(fd, directory, name) == 0) {
    const int result = rename_into_place(name, target);
    linked = result == 0;
    return result;
  }
  const int dir = open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    return errno;
  }
  const int copy = make_unnamed(dir);
  close(dir);
  if (copy >= 0) {
    return publish_unnamed_copy(fd, size, directory, target, copy);
  }
  return publish_named_copy(fd, size, directory, target);
}

}  // namespace waveaudio
