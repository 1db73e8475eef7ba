#include "device/mci.h"

#include "waveaudio/waveaudio.h"

namespace mci {

std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t callback) {
  return waveaudio::send_string(command, return_text, return_length, callback);
}

}  // namespace mci
