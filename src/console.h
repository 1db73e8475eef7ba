#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The standard streams, one source file per platform. Calls answer 0 on
// success or the system's error code as the Windows error code it
// corresponds to.
namespace console {

enum class Stream { output, error };

// Hands the bytes to the system at once; `written` tells how many it took.
std::uint32_t write(Stream stream, const char* data, std::size_t size, std::size_t& written);

// Reads at most `size` bytes from standard input into `data`. `got` is 0 at
// the end of input; a broken pipe reads as the end of input.
std::uint32_t read(char* data, std::size_t size, std::size_t& got);

// The console's input code page, or 0 when the process has no console or
// typed text needs no conversion on this platform.
unsigned input_code_page();

// Converts text from the given code page to the system's ANSI code page;
// characters it cannot represent become the system's replacement character.
// Answers the text unchanged when the two code pages are the same, and when
// the conversion cannot be made (an unknown code page, a line too long).
std::string to_ansi(const std::string& text, unsigned code_page);

}  // namespace console
