#pragma once

#include <alsa/asoundlib.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "spool.h"
#include "wav.h"

// Capture from the ALSA "default" device on a thread of its own.
namespace waveaudio {

class Capture {
 public:
  Capture() = default;
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  ~Capture() { stop(); }

  // Opens the capture device at the format and starts a thread that appends
  // what it captures to the spool, until stop() or until the spool holds
  // `limit` bytes of samples (in whole frames), or the device or the spool
  // fails. Answers 0 or a negative ALSA error code.
  int start(const Format& format, unsigned buffer_seconds, Spool& spool, std::uint32_t limit);

  // Ends the thread and closes the device; nothing when not started.
  void stop();

  // Started and not stopped, whether or not the thread has ended by itself.
  [[nodiscard]] bool running() const { return pcm_ != nullptr; }

 private:
  void run(Spool& spool, std::uint16_t block_align, std::uint32_t limit);
  bool take_available(Spool& spool, std::vector<std::uint8_t>& buffer, std::uint16_t block_align,
                      std::uint32_t limit);

  snd_pcm_t* pcm_ = nullptr;
  snd_pcm_uframes_t period_ = 0;
  int stop_event_ = -1;  // signalled by stop(); the thread waits on it and the device
  std::thread thread_;
};

}  // namespace waveaudio
