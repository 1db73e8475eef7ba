#include <windows.h>

#include <climits>
#include <string>

#include "console.h"

namespace console {

std::uint32_t write(Stream stream, const char* data, std::size_t size, std::size_t& written) {
  HANDLE handle = GetStdHandle(stream == Stream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  written = 0;
  while (written < size) {
    DWORD done = 0;
    if (WriteFile(handle, data + written, static_cast<DWORD>(size - written), &done, nullptr) ==
        0) {
      return GetLastError();
    }
    if (done == 0) {
      return 0;
    }
    written += done;
  }
  return 0;
}

std::uint32_t read(char* data, std::size_t size, std::size_t& got) {
  got = 0;
  DWORD done = 0;
  if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), data, static_cast<DWORD>(size), &done, nullptr) ==
      0) {
    const DWORD code = GetLastError();
    return code == ERROR_BROKEN_PIPE ? 0 : code;
  }
  got = done;
  return 0;
}

unsigned input_code_page() { return GetConsoleCP(); }

std::string to_ansi(const std::string& text, unsigned code_page) {
  // A conversion that cannot be made keeps the line as it was typed: a name
  // in the wrong code page is still a name, an empty one would be lost.
  if (text.empty() || text.size() > INT_MAX || code_page == GetACP()) {
    return text;
  }
  const int length = static_cast<int>(text.size());
  const int wide_size = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (wide_size <= 0) {
    return text;
  }
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  if (MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), wide_size) != wide_size) {
    return text;
  }
  const int ansi_size =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
  if (ansi_size <= 0) {
    return text;
  }
  std::string ansi(static_cast<std::size_t>(ansi_size), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_size, ansi.data(), ansi_size, nullptr,
                          nullptr) != ansi_size) {
    return text;
  }
  return ansi;
}

}  // namespace console
