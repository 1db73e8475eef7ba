#include <windows.h>

#include <string>

#include "capture/file.h"

namespace {

std::wstring wide(const char* name) {
  const int size = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name, -1, text.data(), size);
  text.resize(text.size() - 1);
  return text;
}

HANDLE handle_of(file::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

namespace file {

std::uint32_t create(const char* name, Handle& handle) {
  HANDLE created = CreateFileW(wide(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) {
    return GetLastError();
  }
  handle = reinterpret_cast<Handle>(created);
  return 0;
}

std::uint32_t write_byte(Handle handle, std::uint8_t byte) {
  DWORD written = 0;
  if (WriteFile(handle_of(handle), &byte, 1, &written, nullptr) == 0) {
    return GetLastError();
  }
  return written == 1 ? 0 : ERROR_DISK_FULL;
}

std::uint32_t close(Handle handle) {
  return CloseHandle(handle_of(handle)) != 0 ? 0 : GetLastError();
}

std::uint32_t remove(const char* name) {
  return DeleteFileW(wide(name).c_str()) != 0 ? 0 : GetLastError();
}

bool is_directory_or_unreadable(const char* name) {
  const DWORD attributes = GetFileAttributesW(wide(name).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace file
