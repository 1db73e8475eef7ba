#include "posix_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

struct Case {
  int errno_value;
  std::uint32_t windows_code;
};

// Expected codes are the documented Windows ERROR_* values.
const Case CASES[] = {
    {ENOENT, 2},          // ERROR_FILE_NOT_FOUND
    {ENOTDIR, 3},         // ERROR_PATH_NOT_FOUND
    {EMFILE, 4},          // ERROR_TOO_MANY_OPEN_FILES
    {ENFILE, 4},          // ERROR_TOO_MANY_OPEN_FILES
    {EACCES, 5},          // ERROR_ACCESS_DENIED
    {EPERM, 5},           // ERROR_ACCESS_DENIED
    {EISDIR, 5},          // ERROR_ACCESS_DENIED
    {EBADF, 6},           // ERROR_INVALID_HANDLE
    {ENOMEM, 8},          // ERROR_NOT_ENOUGH_MEMORY
    {EROFS, 19},          // ERROR_WRITE_PROTECT
    {EBUSY, 32},          // ERROR_SHARING_VIOLATION
    {ETXTBSY, 32},        // ERROR_SHARING_VIOLATION
    {EEXIST, 80},         // ERROR_FILE_EXISTS
    {EINVAL, 87},         // ERROR_INVALID_PARAMETER
    {EPIPE, 109},         // ERROR_BROKEN_PIPE
    {ENOSPC, 112},        // ERROR_DISK_FULL
    {EDQUOT, 112},        // ERROR_DISK_FULL
    {ENAMETOOLONG, 206},  // ERROR_FILENAME_EXCED_RANGE
    {EIO, 1117},          // ERROR_IO_DEVICE
    // No counterpart of their own: ERROR_GEN_FAILURE.
    {0, 31},
    {ECHILD, 31},
    {EDOM, 31},
    {ELOOP, 31},
};

TEST(WindowsErrorCode, TranslatesEachErrnoValue) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(std::strerror(c.errno_value));
    EXPECT_EQ(windows_error_code(c.errno_value), c.windows_code) << "errno " << c.errno_value;
  }
}

TEST(WindowsErrorCode, NeverAnswersSuccess) {
  for (int errno_value = -1; errno_value <= 4096; ++errno_value) {
    EXPECT_NE(windows_error_code(errno_value), 0U) << "errno " << errno_value;
  }
}

}  // namespace
