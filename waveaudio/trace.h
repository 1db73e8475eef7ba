#pragma once

#include <cstdint>

namespace waveaudio {

// When the environment variable WAVEAUDIO_TRACE names a file, appends to it
// one line with the command text exactly as received and its result, such as
// `save wav1 "a b.wav" -> 0`. Tests read it to see what a program sent.
void trace(const char* command, std::int32_t result);

}  // namespace waveaudio
