#include "errors.h"

const char* const OUT_OF_MEMORY_MESSAGE = "Out of memory";

int error_number(std::uint32_t system_code) {
  if (system_code >= 19 && system_code <= 31) {
    return static_cast<int>(system_code) + 131;
  }
  switch (system_code) {
    case 32:   // sharing violation
    case 145:  // directory not empty
    case 183:  // already exists
      return IO_ACCESS_DENIED;
    case 112:  // disk full
      return IO_DISK_FULL;
    case 206:  // name too long
      return 3;
    default:
      return static_cast<int>(system_code);
  }
}

std::string error_message(int number) {
  switch (number) {
    case IO_FILE_NOT_FOUND:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case IO_ACCESS_DENIED:
      return "Access denied";
    case IO_INVALID_HANDLE:
      return "Invalid file handle";
    case 15:
      return "Invalid drive specified";
    case IO_DISK_FULL:
      return "Disk Full";
    default:
      break;
  }
  std::string digits = std::to_string(number);
  if (digits.size() < 3) {
    digits.insert(0, 3 - digits.size(), '0');
  }
  return "Unknown Run-Time error : " + digits;
}
