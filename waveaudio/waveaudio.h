#pragma once

#include <cstdint>

// A "waveaudio" device for Linux: it records from the ALSA "default" capture
// device into WAV files and is driven by MCI command texts:
//
//   open <element> type waveaudio alias <alias> [buffer <seconds>]
//       takes the format from the element's WAVE header (the element is not
//       kept open) and makes the recording's unnamed spool file beside it;
//   record <alias>   opens the capture device and returns while it records;
//   stop <alias>     ends the recording; a later record appends to it;
//   save <alias> <file>
//       stops a recording still going and writes the file whole or not at
//       all; of several words the last is the name;
//   close <alias>    stops and releases everything.
//
// The error codes are listed in errors.h.
namespace waveaudio {

// Sends one zero-terminated MCI command text; answers 0 on success or an MCI error code.
std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t callback);

}  // namespace waveaudio
