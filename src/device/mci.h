#pragma once

#include <cstdint>

// The binding to the system's MCI string-command entry point, one source file
// per platform: winmm on Windows, the waveaudio stand-in elsewhere.
namespace mci {

// Sends one zero-terminated command text; answers 0 on success.
std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t callback);

}  // namespace mci
