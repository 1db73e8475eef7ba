#pragma once

#include <array>
#include <cstdint>
#include <string>

// The RIFF/WAVE header: the capture format read from a file, and the 44-byte
// header written in front of a recording.
namespace waveaudio {

struct Format {
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t bits = 0;         // 8, 16, 24 or 32
  std::uint16_t block_align = 0;  // bytes of one frame: channels * bits / 8
};

constexpr std::size_t kHeaderSize = 44;

// Reads the format of the PCM WAVE file at the path: its "fmt " chunk, which
// must come before a "data" chunk. Answers 0, or the error code of a missing
// file, or of one that is not a complete PCM WAVE header.
std::int32_t read_format(const std::string& path, Format& format);

// The header of a PCM WAVE file of the format holding data_bytes of samples.
std::array<std::uint8_t, kHeaderSize> header(const Format& format, std::uint32_t data_bytes);

// The most data in whole frames that a WAVE file's 32-bit RIFF size can hold.
std::uint32_t max_data_bytes(std::uint16_t block_align);

}  // namespace waveaudio
