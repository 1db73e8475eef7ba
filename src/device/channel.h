#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The device command channel: the command texts built at run time, the
// buffers they are sent from, and the result of the last command.
extern std::string CMDSTR1;             // the open command
extern std::string CMDSTR2;             // the save command
extern std::unique_ptr<char[]> P_STR1;  // zero-terminated copy of CMDSTR1
extern std::unique_ptr<char[]> P_STR2;  // zero-terminated copy of CMDSTR2
extern std::int32_t RTN;                // result of the most recent command
extern std::uint64_t CBK;               // callback window handle, always 0

std::string open_command(const std::string& tmp_file);

// "save wav1 " and the name. A name with a blank and no double quote goes
// between double quotes, or the device would take its last word as the name.
std::string save_command(const std::string& file_name);

// A zero-terminated copy of the text in a buffer sized to it. Memory that
// cannot be had ends the program.
std::unique_ptr<char[]> command_buffer(const std::string& text);

// Sends the text with no return text asked for and stores the result in RTN.
void send(const char* text, char* return_text);
