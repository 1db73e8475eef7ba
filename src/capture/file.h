#pragma once

#include <cstdint>

// The file calls the temporary file needs, one source file per platform.
// Every call answers 0 on success or the system's error code, given as the
// Windows error code it corresponds to.
namespace file {

using Handle = std::intptr_t;

// Creates the file, or truncates an existing one, for reading and writing;
// while it is open other openers may read it but not write or delete it.
std::uint32_t create(const char* name, Handle& handle);

// Writes one byte straight to the system, with no buffering.
std::uint32_t write_byte(Handle handle, std::uint8_t byte);

std::uint32_t close(Handle handle);

std::uint32_t remove(const char* name);

// True when the name is a directory or its attributes cannot be read.
bool is_directory_or_unreadable(const char* name);

}  // namespace file
