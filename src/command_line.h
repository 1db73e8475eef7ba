#pragma once

#include <string>
#include <vector>

// Splits a command-line text into words: characters 1 to 32 separate words
// outside double quotes, a double quote toggles quoting and is dropped, an
// unclosed quote runs to the end, a word of quotes alone is an empty word.
// The first word is the program's own name.
std::vector<std::string> split_command_line(const std::string& text);
