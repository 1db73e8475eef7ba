#include <windows.h>

#include "command_line.h"
#include "process.h"

namespace process {

std::vector<std::string> arguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> words = split_command_line(GetCommandLineA());
  if (!words.empty()) {
    words.erase(words.begin());
  }
  return words;
}

// Nothing is pending in the program, so the process ends at once, without the
// detach code of the libraries it loaded: an audio driver still winding down
// then runs no code of the program's process after its last step.
void exit(int status) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  ExitProcess(static_cast<UINT>(status));
}

std::vector<Frame> stack_walk() {
  void* addresses[64] = {};
  const USHORT count = RtlCaptureStackBackTrace(0, 64, addresses, nullptr);
  std::vector<Frame> frames;
  // The walk ends at the thread's first frame; past it there is nothing of
  // the program's.
  for (USHORT i = 0; i < count && addresses[i] != nullptr; ++i) {
    frames.push_back(Frame{reinterpret_cast<std::uintptr_t>(addresses[i]), {}, 0, {}});
  }
  return frames;
}

}  // namespace process
