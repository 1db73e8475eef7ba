#include "failure.h"

#include <cinttypes>
#include <cstddef>
#include <cstdio>

#include "console.h"
#include "errors.h"

namespace {

constexpr std::size_t MAX_CALLERS = 16;

std::string hex_address(std::uint64_t address) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIX64, address);
  return text;
}

[[noreturn]] void report(std::uint64_t address, const char* kind, const std::string& message) {
  const std::string text =
      failure_report(address, kind, message, report_frames(address, process::stack_walk()));
  // When standard error refuses the report there is nobody left to tell.
  std::size_t written = 0;
  console::write(console::Stream::error, text.data(), text.size(), written);
  process::exit(217);
}

std::uint64_t caller_address(void* address) { return reinterpret_cast<std::uintptr_t>(address); }

}  // namespace

// These three are never inlined, so that their return address is the place in
// the caller where the failure was detected.

__attribute__((noinline)) void check_io(std::uint32_t system_code) {
  if (system_code != 0) {
    report(caller_address(__builtin_return_address(0)), "IOError",
           error_message(error_number(system_code)));
  }
}

__attribute__((noinline)) void fail_io(int error_number) {
  report(caller_address(__builtin_return_address(0)), "IOError", error_message(error_number));
}

__attribute__((noinline)) void fail_memory() {
  report(caller_address(__builtin_return_address(0)), "MemoryError", OUT_OF_MEMORY_MESSAGE);
}

std::string failure_report(std::uint64_t address, const std::string& kind,
                           const std::string& message, const std::vector<process::Frame>& frames) {
  std::string text = "An unhandled exception occurred at $" + hex_address(address) + ":\r\n";
  text += kind + ": " + message + "\r\n";
  for (const process::Frame& frame : frames) {
    text += "  $" + hex_address(frame.address);
    if (!frame.routine.empty()) {
      text += "  " + frame.routine + ", line " + std::to_string(frame.line) + " of " + frame.file;
    }
    text += "\r\n";
  }
  text += "\r\n";
  return text;
}

std::vector<process::Frame> report_frames(std::uint64_t address,
                                          const std::vector<process::Frame>& walk) {
  // The walk starts inside the report itself: its frames up to the one at
  // the detection address are left out.
  std::size_t first = 0;
  while (first < walk.size() && walk[first].address != address) {
    ++first;
  }
  std::vector<process::Frame> frames;
  if (first == walk.size()) {
    frames.push_back(process::Frame{address, {}, 0, {}});
    return frames;
  }
  for (std::size_t i = first; i < walk.size() && frames.size() <= MAX_CALLERS; ++i) {
    frames.push_back(walk[i]);
  }
  return frames;
}
