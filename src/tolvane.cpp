// tolvane: records the system's wave input into a WAV file (PCM, stereo,
// 88200 Hz, 24 bits) through the MCI waveaudio device.
//
//   tolvane           records until return is pressed, then asks for the name
//   tolvane foo.wav   records until a key and return are pressed, saves to foo.wav

#include <new>
#include <string>
#include <vector>

#include "capture/header.h"
#include "capture/tmpfile.h"
#include "device/channel.h"
#include "dialogue.h"
#include "failure.h"
#include "process.h"
#include "usage.h"

std::string S;      // the first argument, then the line typed at the stop prompt
char C = 0;         // the character typed at the stop prompt in argument mode
std::string FNAME;  // the output file name

namespace {

// Both device failures end the same way: the message, the device closed and
// the temporary file deleted.
[[noreturn]] void give_up(const char* message) {
  write_text(std::string(message) + "\r\n");
  send("close wav1", S.data());
  delete_tmp_file();
  process::exit(0);
}

[[noreturn]] void run(int argc, char** argv) {
  complete_header();
  begin_dialogue();
  const std::vector<std::string> arguments = process::arguments(argc, argv);
  const bool argument_mode = !arguments.empty();
  S = argument_mode ? arguments.front() : std::string();
  if (has_help_switch(S)) {
    show_usage();
  }

  write_tmp_file();
  CMDSTR1 = open_command(TMP_FILE);
  P_STR1 = command_buffer(CMDSTR1);
  send(P_STR1.get(), S.data());
  send("record wav1", S.data());
  if (RTN != 0) {
    give_up("***ERROR : record error");
  }

  write_text("hit return key to stop...");
  if (argument_mode) {
    C = read_char();
  } else {
    S = read_line();
  }
  send("stop wav1", S.data());

  if (argument_mode) {
    FNAME = arguments.front();
  } else {
    write_text("output file name : ");
    FNAME = read_line();
  }
  // A save without a name would target the temporary file itself, which is
  // deleted next: the recording would be lost without a word.
  if (FNAME.empty()) {
    give_up("***ERROR : file write error");
  }
  CMDSTR2 = save_command(FNAME);
  P_STR2 = command_buffer(CMDSTR2);
  send(P_STR2.get(), S.data());
  if (RTN != 0) {
    give_up("***ERROR : file write error");
  }

  send("close wav1", S.data());
  delete_tmp_file();
  process::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    run(argc, argv);
  } catch (const std::bad_alloc&) {
    fail_memory();
  }
}
