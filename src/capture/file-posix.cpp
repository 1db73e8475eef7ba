#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "capture/file.h"
#include "posix_errors.h"

namespace file {

// POSIX has no share modes: while the file is open, other processes may still
// write or unlink it.
//
// A symbolic link in the name's place is never followed: anyone who may write
// the directory could plant one there to have the program truncate the file
// it names. It is refused as a read-only file is, and a dangling link makes
// no file either. (The name has no directory part, so ELOOP can only mean
// that link.)
std::uint32_t create(const char* name, Handle& handle) {
  const int fd = ::open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    return windows_error_code(errno == ELOOP ? EACCES : errno);
  }
  handle = fd;
  return 0;
}

std::uint32_t write_byte(Handle handle, std::uint8_t byte) {
  const ssize_t written = ::write(static_cast<int>(handle), &byte, 1);
  if (written < 0) {
    return windows_error_code(errno);
  }
  // A write that took nothing found no room for the byte.
  return written == 1 ? 0 : windows_error_code(ENOSPC);
}

std::uint32_t close(Handle handle) {
  return ::close(static_cast<int>(handle)) == 0 ? 0 : windows_error_code(errno);
}

// Unlinking a directory fails with EISDIR (EPERM elsewhere), both access
// denied, as deleting a directory as a file is on Windows.
std::uint32_t remove(const char* name) {
  return ::unlink(name) == 0 ? 0 : windows_error_code(errno);
}

bool is_directory_or_unreadable(const char* name) {
  struct stat status {};
  return ::stat(name, &status) != 0 || S_ISDIR(status.st_mode);
}

}  // namespace file
