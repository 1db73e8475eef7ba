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

void exit(int status) { ExitProcess(static_cast<UINT>(status)); }

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
