#pragma once

#include <cstdint>
#include <string>

// Error numbers of input/output failures and their messages.
constexpr int ERROR_FILE_NOT_FOUND = 2;
constexpr int ERROR_ACCESS_DENIED = 5;
constexpr int ERROR_INVALID_HANDLE = 6;
constexpr int ERROR_DISK_FULL = 101;

// The error number for a system error code.
int error_number(std::uint32_t system_code);

std::string error_message(int number);

extern const char* const OUT_OF_MEMORY_MESSAGE;
