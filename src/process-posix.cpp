#include <backtrace.h>
#include <cxxabi.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "process.h"

namespace {

// Without line information a frame keeps its address alone.
void ignore_error(void* /*data*/, const char* /*message*/, int /*errnum*/) {}

backtrace_state* debug_info() {
  static backtrace_state* const state = backtrace_create_state(nullptr, 0, ignore_error, nullptr);
  return state;
}

// C++ routines come mangled in the symbol table; others are taken as they are.
std::string demangled(const char* symbol) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(symbol, nullptr, nullptr, &status), &std::free);
  return status == 0 ? std::string(name.get()) : std::string(symbol);
}

// libbacktrace calls this once per frame, and once more for each routine
// inlined at the address, innermost first. It hands over the return address
// less one, so that the lookup finds the call rather than what follows it.
int add_frame(void* data, std::uintptr_t pc, const char* file, int line, const char* routine) {
  if (pc == UINTPTR_MAX) {
    return 1;  // the end of the stack: a frame with no return address
  }
  auto& frames = *static_cast<std::vector<process::Frame>*>(data);
  try {
    process::Frame frame;
    frame.address = pc + 1;
    if (file != nullptr && line > 0 && routine != nullptr) {
      frame.routine = demangled(routine);
      frame.line = line;
      frame.file = file;
    }
    frames.push_back(frame);
  } catch (...) {
    return 1;  // no exception may cross libbacktrace's C frames: the walk ends here
  }
  return 0;
}

}  // namespace

namespace process {

// The shell has already split the command line into words.
std::vector<std::string> arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void exit(int status) { ::_exit(status); }

std::vector<Frame> stack_walk() {
  std::vector<Frame> frames;
  backtrace_state* const state = debug_info();
  if (state != nullptr) {
    // Skip this routine's own frame: the walk starts at its caller.
    backtrace_full(state, 1, add_frame, ignore_error, &frames);
  }
  return frames;
}

}  // namespace process
