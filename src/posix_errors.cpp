#include "posix_errors.h"

#include <cerrno>

namespace {

struct Translation {
  int errno_value;
  std::uint32_t windows_code;
};

// The Windows codes by their documented names.
constexpr std::uint32_t FILE_NOT_FOUND = 2;
constexpr std::uint32_t PATH_NOT_FOUND = 3;
constexpr std::uint32_t TOO_MANY_OPEN_FILES = 4;
constexpr std::uint32_t ACCESS_DENIED = 5;
constexpr std::uint32_t INVALID_HANDLE = 6;
constexpr std::uint32_t NOT_ENOUGH_MEMORY = 8;
constexpr std::uint32_t WRITE_PROTECT = 19;
constexpr std::uint32_t GEN_FAILURE = 31;
constexpr std::uint32_t SHARING_VIOLATION = 32;
constexpr std::uint32_t FILE_EXISTS = 80;
constexpr std::uint32_t INVALID_PARAMETER = 87;
constexpr std::uint32_t BROKEN_PIPE = 109;
constexpr std::uint32_t DISK_FULL = 112;
constexpr std::uint32_t FILENAME_EXCED_RANGE = 206;
constexpr std::uint32_t IO_DEVICE = 1117;

constexpr Translation TRANSLATIONS[] = {
    {ENOENT, FILE_NOT_FOUND},
    {ENOTDIR, PATH_NOT_FOUND},
    {EMFILE, TOO_MANY_OPEN_FILES},
    {ENFILE, TOO_MANY_OPEN_FILES},
    {EACCES, ACCESS_DENIED},
    {EPERM, ACCESS_DENIED},
    // Windows refuses to open or delete a directory as a file with access denied.
    {EISDIR, ACCESS_DENIED},
    {EBADF, INVALID_HANDLE},
    {ENOMEM, NOT_ENOUGH_MEMORY},
    {EROFS, WRITE_PROTECT},
    {EBUSY, SHARING_VIOLATION},
    {ETXTBSY, SHARING_VIOLATION},
    {EEXIST, FILE_EXISTS},
    {EINVAL, INVALID_PARAMETER},
    {EPIPE, BROKEN_PIPE},
    {ENOSPC, DISK_FULL},
    {EDQUOT, DISK_FULL},
    {ENAMETOOLONG, FILENAME_EXCED_RANGE},
    {EIO, IO_DEVICE},
};

}  // namespace

std::uint32_t windows_error_code(int errno_value) {
  for (const Translation& translation : TRANSLATIONS) {
    if (translation.errno_value == errno_value) {
      return translation.windows_code;
    }
  }
  return GEN_FAILURE;
}
