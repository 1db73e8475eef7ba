#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "process.h"

// Checks the result of an input/output operation at once: a nonzero system
// error code ends the program with the failure report and status 217.
void check_io(std::uint32_t system_code);

// Ends the program with the failure report for an input/output failure of
// the given error number, detected just before the call.
[[noreturn]] void fail_io(int error_number);

// Ends the program with the failure report for exhausted memory.
[[noreturn]] void fail_memory();

// The text of the failure report: the header line with the address, the
// kind and message line, one line per frame (at most 17) and an empty line.
std::string failure_report(std::uint64_t address, const std::string& kind,
                           const std::string& message, const std::vector<process::Frame>& frames);

// The frames of the report: the one at the detection address and the callers
// beyond it, at most 16.
std::vector<process::Frame> report_frames(std::uint64_t address,
                                          const std::vector<process::Frame>& walk);
