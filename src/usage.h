#pragma once

#include <array>
#include <string>

// Texts that ask for the usage screen when they stand anywhere in the first
// argument, searched in this order, case-sensitively.
extern const std::array<const char*, 6> HELP_SWITCHES;

bool has_help_switch(const std::string& text);

// Writes the usage screen and ends the program with status 0.
[[noreturn]] void show_usage();
