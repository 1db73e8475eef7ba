#include "capture.h"

#include <functional>
#include <mutex>
#include <vector>

namespace waveaudio {
namespace {

constexpr unsigned kPeriodMicroseconds = 50000;  // how soon stop() is heard

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
  int result = snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_CAPTURE, 0);
  if (result < 0) {
    pcm_ = nullptr;
    return result;
  }
  if ((result = configure(pcm_, format, buffer_seconds, period_)) < 0) {
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    return result;
  }
  stopping_ = false;
  thread_ = std::thread(&Capture::run, this, std::ref(spool), format.block_align, limit);
  return 0;
}

void Capture::stop() {
  if (pcm_ == nullptr) {
    return;
  }
  stopping_ = true;
  thread_.join();
  snd_pcm_close(pcm_);
  pcm_ = nullptr;
}

void Capture::run(Spool& spool, std::uint16_t block_align, std::uint32_t limit) {
  std::vector<std::uint8_t> buffer(period_ * block_align);
  while (!stopping_) {
    const snd_pcm_sframes_t frames = snd_pcm_readi(pcm_, buffer.data(), period_);
    if (frames < 0) {
      if (snd_pcm_recover(pcm_, static_cast<int>(frames), 1) < 0) {
        return;
      }
      continue;
    }
    const std::uint32_t left = limit > spool.data_bytes() ? limit - spool.data_bytes() : 0;
    const std::uint32_t room = left / block_align * block_align;
    const std::size_t size = static_cast<std::size_t>(frames) * block_align;
    if (!spool.append(buffer.data(), size < room ? size : room) || size >= room) {
      return;
    }
  }
}

}  // namespace waveaudio
