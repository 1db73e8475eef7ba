#pragma once

#include <cstdint>

// The Windows error code that corresponds to a POSIX errno value, so that the
// one mapping from system error codes to error numbers serves both platforms.
// Never 0: an errno value with no counterpart of its own, 0 included, gives
// 31, the Windows code for a general failure.
std::uint32_t windows_error_code(int errno_value);
