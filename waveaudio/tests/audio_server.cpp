#include "audio_server.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace waveaudio::testing {
namespace {

bool can_connect(const std::string& socket_path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
  const bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

}  // namespace

TempDir::TempDir(const std::string& base) {
  std::string pattern = base + "/waveaudio-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp " + pattern);
  }
  path_ = std::filesystem::absolute(pattern).lexically_normal().string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::vector<std::string> list_dir(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

int descriptors_on(const std::string& path) {
  struct stat file {};
  if (stat(path.c_str(), &file) != 0) {
    return 0;
  }
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    struct stat open_file {};
    if (stat(entry.path().c_str(), &open_file) == 0 && open_file.st_dev == file.st_dev &&
        open_file.st_ino == file.st_ino) {
      ++count;
    }
  }
  return count;
}

int descriptors() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

std::vector<std::uint8_t> empty_wav() {
  return {'R',  'I', 'F', 'F', 36, 0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
          ' ',  16,  0,   0,   0,  1, 0,   2,   0,   0x88, 0x58, 1,   0,   0x30, 0x13,
          0x08, 0,   6,   0,   24, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
}

std::vector<std::uint8_t> fixture(std::size_t frames) {
  std::vector<std::uint8_t> bytes(frames * 6);
  std::uint32_t state = 12345;
  for (auto& byte : bytes) {
    state = state * 1103515245U + 12345U;
    byte = static_cast<std::uint8_t>(state >> 16U);
  }
  return bytes;
}

void use_alsa_config(const TempDir& dir, const std::string& text) {
  const std::string path = dir / "asound.conf";
  std::ofstream(path) << text << "\n";
  setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
}

AudioServer::AudioServer(const std::vector<std::uint8_t>& frames) : dir_("/tmp") {
  const std::string raw = dir_ / "fixture.raw";
  write_file(raw, frames);
  const std::string socket_path = dir_ / "native";
  setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  setenv("PULSE_SERVER", ("unix:" + socket_path).c_str(), 1);
  use_alsa_config(dir_,
                  "pcm.!default { type file slave.pcm { type pulse device \"fixture\" } "
                  "file \"/dev/null\" infile \"" +
                      raw + R"(" format "raw" })");

  const std::string protocol =
      "--load=module-native-protocol-unix socket=" + socket_path + " auth-anonymous=1";
  const std::string source =
      "--load=module-null-source source_name=fixture rate=88200 format=s24le channels=2 "
      "max_latency_msec=50";
  std::vector<std::string> args = {
      "pulseaudio",     "-n",   "--daemonize=no", "--use-pid-file=no", "--exit-idle-time=-1",
      "--system=false", source, protocol};
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (auto& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawnp(&pid_, "pulseaudio", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw std::runtime_error("cannot start pulseaudio");
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!can_connect(socket_path)) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("no pulseaudio");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

AudioServer::~AudioServer() {
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace waveaudio::testing
