#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "capture.h"
#include "command.h"
#include "errors.h"
#include "publish.h"
#include "spool.h"
#include "trace.h"
#include "wav.h"
#include "waveaudio.h"

// The open devices, by alias, and the commands that act on them.
namespace waveaudio {
namespace {

struct Device {
  Format format;
  unsigned buffer_seconds = 0;
  Spool spool;
  Capture capture;  // declared after the spool: it stops before the spool goes
};

std::mutex devices_lock;
std::map<std::string, std::unique_ptr<Device>> devices;

std::int32_t open_device(const Command& command) {
  if (devices.count(command.alias) != 0) {
    return error::kDuplicateAlias;
  }
  auto device = std::make_unique<Device>();
  if (const std::int32_t result = read_format(command.element, device->format); result != 0) {
    return result;
  }
  device->buffer_seconds = command.buffer_seconds;
  if (device->spool.open(directory_of(command.element), device->format) != 0) {
    return error::kFileWrite;
  }
  devices[command.alias] = std::move(device);
  return 0;
}

std::int32_t record(Device& device) {
  if (device.capture.running()) {
    return 0;
  }
  if (device.spool.make_private() != 0) {
    return error::kFileWrite;
  }
  const int result = device.capture.start(device.format, device.buffer_seconds, device.spool,
                                          max_data_bytes(device.format.block_align));
  return result == 0 ? 0 : error::kHardware;
}

std::int32_t save(Device& device, const std::string& file) {
  device.capture.stop();
  const int result = device.spool.save(file);
  if (result == 0) {
    return 0;
  }
  return result == ENOENT || result == ENOTDIR ? error::kFileNotFound : error::kFileNotSaved;
}

std::int32_t run(const Command& command) {
  if (command.verb == Verb::kOpen) {
    return open_device(command);
  }
  const auto found = devices.find(command.alias);
  if (found == devices.end()) {
    return error::kInvalidDeviceName;
  }
  Device& device = *found->second;
  switch (command.verb) {
    case Verb::kRecord:
      return record(device);
    case Verb::kStop:
      device.capture.stop();
      return 0;
    case Verb::kSave:
      return save(device, command.file);
    default:  // close
      devices.erase(found);
      return 0;
  }
}

}  // namespace

std::int32_t send_string(const char* command, char* return_text, std::uint32_t return_length,
                         std::uint64_t /*callback*/) {
  if (return_text != nullptr && return_length > 0) {
    *return_text = '\0';
  }
  if (command == nullptr) {
    return error::kMissingCommandString;
  }
  std::int32_t result = 0;
  {
    const std::lock_guard<std::mutex> lock(devices_lock);
    Command parsed;
    result = parse(command, parsed);
    if (result == 0) {
      result = run(parsed);
    }
  }
  trace(command, result);
  return result;
}

}  // namespace waveaudio
