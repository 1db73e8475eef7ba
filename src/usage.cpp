#include "usage.h"

#include <algorithm>

#include "dialogue.h"
#include "process.h"

const std::array<const char*, 6> HELP_SWITCHES = {"-h", "/h", "-H", "/H", "-?", "/?"};

bool has_help_switch(const std::string& text) {
  return std::any_of(HELP_SWITCHES.begin(), HELP_SWITCHES.end(), [&](const char* help_switch) {
    return text.find(help_switch) != std::string::npos;
  });
}

void show_usage() {
  write_text("tolvane " TOLVANE_VERSION
             " - records the wave input to a WAV file - MIT licence\r\n");
  write_text("tolvane - waveaudio recording (88.2kHz/stereo/24bit)\r\n");
  write_text("  usage (1) : tolvane\r\n");
  write_text("  usage (2) : tolvane foo.wav");
  process::exit(0);
}
