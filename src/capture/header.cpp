#include "capture/header.h"

// The framing of the file is fixed; the format fields at offsets 22 to 35 are
// stored by complete_header() before the table is used.
std::array<std::uint8_t, 44> WAV_HEADER = {
    'R', 'I', 'F', 'F', 36, 0, 0, 0,                    // RIFF chunk, 36 bytes follow
    'W', 'A', 'V', 'E',                                 //
    'f', 'm', 't', ' ', 16, 0, 0, 0,                    // format chunk, 16 bytes
    1,   0,                                             // PCM
    0,   0,   0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0, 0,  // format fields
    'd', 'a', 't', 'a', 0,  0, 0, 0,                    // data chunk, no samples
};

void complete_header() {
  constexpr std::uint8_t FORMAT[14] = {
      0x02, 0x00,              // 2 channels
      0x88, 0x58, 0x01, 0x00,  // 88200 samples per second
      0x30, 0x13, 0x08, 0x00,  // 529200 bytes per second
      0x06, 0x00,              // 6 bytes per frame
      0x18, 0x00,              // 24 bits per sample
  };
  for (std::size_t i = 0; i < sizeof FORMAT; ++i) {
    WAV_HEADER[22 + i] = FORMAT[i];
  }
}
