// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include "device/mci.h"

namespace mci {

std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t callback) {
  // The waveaudio driver may still run code of its own after "close": it is
  // kept loaded for the life of the process so that this cannot fault.
  static const HMODULE driver = LoadLibraryA("mciwave.dll");
  static_cast<void>(driver);
  return static_cast<std::int32_t>(
      mciSendStringA(command, return_text, return_length,
                     reinterpret_cast<HWND>(static_cast<std::uintptr_t>(callback))));
}

}  // namespace mci
