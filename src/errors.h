#pragma once

#include <cstdint>
#include <string>

// Error numbers of input/output failures and their messages.
constexpr int IO_FILE_NOT_FOUND = 2;
constexpr int IO_ACCESS_DENIED = 5;
constexpr int IO_INVALID_HANDLE = 6;
constexpr int IO_DISK_FULL = 101;

// The error number for a system error code.
int error_number(std::uint32_t system_code);

std::string error_message(int number);

extern const char* const OUT_OF_MEMORY_MESSAGE;
