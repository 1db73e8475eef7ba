#pragma once

#include <array>
#include <cstdint>

// The capture header: an empty WAV file (44 bytes, no samples) in the one
// capture format, PCM, 2 channels, 88200 samples per second, 24 bits.
// The device records in the format the header declares.
extern std::array<std::uint8_t, 44> WAV_HEADER;

// Stores the format fields at offsets 22 to 35. Runs once, first of all.
void complete_header();
