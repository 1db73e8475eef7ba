#pragma once

#include <cstdint>

// A "waveaudio" device for Linux: it records from the ALSA "default" capture
// device into WAV files and is driven by MCI command texts.
namespace waveaudio {

// Sends one zero-terminated MCI command text; answers 0 on success or an MCI error code.
std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t callback);

}  // namespace waveaudio
