#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The process boundary, one source file per platform: command line, exit and
// the stack walk of the failure report.
namespace process {

// The command-line arguments, without the program's own name.
std::vector<std::string> arguments(int argc, char** argv);

// Ends the process with the status; nothing is buffered in the program, so
// nothing is left pending.
[[noreturn]] void exit(int status);

struct Frame {
  std::uint64_t address = 0;
  std::string routine;  // empty when no line information is at hand
  int line = 0;
  std::string file;
};

// The return addresses on the stack, innermost first, with line
// information where the platform has it.
std::vector<Frame> stack_walk();

}  // namespace process
