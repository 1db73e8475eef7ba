#include "device/channel.h"

#include <cstring>
#include <new>

#include "device/mci.h"
#include "failure.h"

std::string CMDSTR1;
std::string CMDSTR2;
std::unique_ptr<char[]> P_STR1;
std::unique_ptr<char[]> P_STR2;
std::int32_t RTN = 0;
std::uint64_t CBK = 0;

std::string open_command(const std::string& tmp_file) {
  return "open " + tmp_file + " type waveaudio alias wav1 buffer 4";
}

std::string save_command(const std::string& file_name) {
  const bool has_blank = file_name.find(' ') != std::string::npos;
  const bool has_quote = file_name.find('"') != std::string::npos;
  if (has_blank && !has_quote) {
    return "save wav1 \"" + file_name + "\"";
  }
  return "save wav1 " + file_name;
}

std::unique_ptr<char[]> command_buffer(const std::string& text) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[text.size() + 1]);
  if (!buffer) {
    fail_memory();
  }
  std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
  return buffer;
}

void send(const char* text, char* return_text) {
  RTN = mci::send_string(text, return_text, 0, CBK);
}
