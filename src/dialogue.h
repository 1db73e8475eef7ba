#pragma once

#include <string>

// The console dialogue: checked writes to standard output and reads from
// standard input. Any failure ends the program with the failure report.
void begin_dialogue();  // takes the console's input code page, once

void write_text(const std::string& text);

char read_char();

// A line in the system's ANSI code page.
std::string read_line();
