// Starts a program with an exact command-line text and a chosen standard
// input, waits for it and exits with its exit status.
//
//   launch STDIN PROGRAM COMMAND_LINE_HEX
//
// STDIN is "inherit" (the launcher's own standard input), "null" (a null
// handle) or "invalid" (INVALID_HANDLE_VALUE). PROGRAM is the program file.
// COMMAND_LINE_HEX is the command-line text in hexadecimal, two digits a
// byte, so that no quoting on the way to the launcher can change it.
// Standard output and standard error are always the launcher's own. The
// launcher's own failures exit with status 125.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kLaunchFailed = 125;

int Fail(const char* what) {
  std::fprintf(stderr, "launch: %s failed, error %lu\n", what, GetLastError());
  return kLaunchFailed;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

bool DecodeHex(const char* hex, std::string* text) {
  const size_t length = std::strlen(hex);
  if (length % 2 != 0) {
    return false;
  }
  for (size_t i = 0; i < length; i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) {
      return false;
    }
    text->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command_line;
  if (argc != 4 || !DecodeHex(argv[3], &command_line)) {
    std::fprintf(stderr, "usage: launch inherit|null|invalid PROGRAM COMMAND_LINE_HEX\n");
    return kLaunchFailed;
  }
  const std::string input = argv[1];

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (input != "inherit") {
    if (input == "null") {
      startup.hStdInput = nullptr;
    } else if (input == "invalid") {
      startup.hStdInput = INVALID_HANDLE_VALUE;
    } else {
      std::fprintf(stderr, "launch: unknown standard input \"%s\"\n", input.c_str());
      return kLaunchFailed;
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }

  PROCESS_INFORMATION process{};
  if (CreateProcessA(argv[2], command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process) == 0) {
    return Fail("CreateProcessA");
  }
  CloseHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0) {
    return Fail("WaitForSingleObject");
  }
  DWORD status = 0;
  if (GetExitCodeProcess(process.hProcess, &status) == 0) {
    return Fail("GetExitCodeProcess");
  }
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
