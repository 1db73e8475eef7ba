#include "capture.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace waveaudio {
namespace {

// How often the thread wakes to move samples to the spool. stop() is heard at
// once whatever the period, through an event the thread waits on as well.
constexpr unsigned kPeriodMicroseconds = 250000;

// libasound reports its errors on standard error unless given a handler.
void quiet(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
           const char* /*fmt*/, ...) {}

snd_pcm_format_t alsa_format(std::uint16_t bits) {
  switch (bits) {
    case 8:
      return SND_PCM_FORMAT_U8;
    case 16:
      return SND_PCM_FORMAT_S16_LE;
    case 24:
      return SND_PCM_FORMAT_S24_3LE;
    default:
      return SND_PCM_FORMAT_S32_LE;
  }
}

int configure(snd_pcm_t* pcm, const Format& format, unsigned buffer_seconds,
              snd_pcm_uframes_t& period) {
  snd_pcm_hw_params_t* params = nullptr;
  int result = snd_pcm_hw_params_malloc(&params);
  if (result < 0) {
    return result;
  }
  unsigned buffer_time = buffer_seconds * 1000000U;
  unsigned period_time = kPeriodMicroseconds;
  int dir = 0;
  if ((result = snd_pcm_hw_params_any(pcm, params)) >= 0 &&
      (result = snd_pcm_hw_params_set_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED)) >= 0 &&
      (result = snd_pcm_hw_params_set_format(pcm, params, alsa_format(format.bits))) >= 0 &&
      (result = snd_pcm_hw_params_set_channels(pcm, params, format.channels)) >= 0 &&
      (result = snd_pcm_hw_params_set_rate(pcm, params, format.rate, 0)) >= 0 &&
      (result = snd_pcm_hw_params_set_buffer_time_near(pcm, params, &buffer_time, &dir)) >= 0 &&
      (result = snd_pcm_hw_params_set_period_time_near(pcm, params, &period_time, &dir)) >= 0 &&
      (result = snd_pcm_hw_params(pcm, params)) >= 0) {
    result = snd_pcm_hw_params_get_period_size(params, &period, &dir);
  }
  snd_pcm_hw_params_free(params);
  return result;
}

}  // namespace

int Capture::start(const Format& format, unsigned buffer_seconds, Spool& spool,
                   std::uint32_t limit) {
  static std::once_flag silenced;
  std::call_once(silenced, [] { snd_lib_error_set_handler(quiet); });
  int result = snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
  if (result < 0) {
    pcm_ = nullptr;
    return result;
  }
  if ((result = configure(pcm_, format, buffer_seconds, period_)) < 0 ||
      (result = snd_pcm_start(pcm_)) < 0) {
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    return result;
  }
  stop_event_ = eventfd(0, EFD_CLOEXEC);
  if (stop_event_ < 0) {
    result = -errno;
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    return result;
  }
  thread_ = std::thread(&Capture::run, this, std::ref(spool), format.block_align, limit);
  return 0;
}

void Capture::stop() {
  if (pcm_ == nullptr) {
    return;
  }
  const std::uint64_t one = 1;
  while (write(stop_event_, &one, sizeof one) < 0 && errno == EINTR) {
  }
  thread_.join();
  close(stop_event_);
  stop_event_ = -1;
  snd_pcm_close(pcm_);
  pcm_ = nullptr;
}

// Waits for samples or for stop(); on stop, takes what has arrived so far.
void Capture::run(Spool& spool, std::uint16_t block_align, std::uint32_t limit) {
  const int count = snd_pcm_poll_descriptors_count(pcm_);
  if (count <= 0) {
    return;
  }
  std::vector<pollfd> waits(static_cast<std::size_t>(count) + 1);
  waits[0] = pollfd{stop_event_, POLLIN, 0};
  if (snd_pcm_poll_descriptors(pcm_, &waits[1], static_cast<unsigned>(count)) != count) {
    return;
  }
  std::vector<std::uint8_t> buffer(period_ * block_align);
  for (;;) {
    if (poll(waits.data(), waits.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    // The device's own events are read back through ALSA, which clears them.
    unsigned short events = 0;
    snd_pcm_poll_descriptors_revents(pcm_, &waits[1], static_cast<unsigned>(count), &events);
    const bool stopping = (waits[0].revents & POLLIN) != 0;
    if (!take_available(spool, buffer, block_align, limit) || stopping) {
      return;
    }
  }
}

// Moves every frame the device holds to the spool. Answers false when the
// capture is over: the limit is reached, or the device or the spool failed.
bool Capture::take_available(Spool& spool, std::vector<std::uint8_t>& buffer,
                             std::uint16_t block_align, std::uint32_t limit) {
  for (;;) {
    const snd_pcm_sframes_t frames = snd_pcm_readi(pcm_, buffer.data(), period_);
    if (frames == -EAGAIN) {
      return true;
    }
    if (frames < 0) {
      if (snd_pcm_recover(pcm_, static_cast<int>(frames), 1) < 0 || snd_pcm_start(pcm_) < 0) {
        return false;
      }
      continue;
    }
    const std::uint32_t left = limit > spool.data_bytes() ? limit - spool.data_bytes() : 0;
    const std::uint32_t room = left / block_align * block_align;
    const std::size_t size = static_cast<std::size_t>(frames) * block_align;
    if (!spool.append(buffer.data(), size < room ? size : room) || size >= room) {
      return false;
    }
  }
}

}  // namespace waveaudio
