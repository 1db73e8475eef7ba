#include "capture/tmpfile.h"

#include <cstdint>

#include "capture/file.h"
#include "capture/header.h"
#include "errors.h"
#include "failure.h"

const char* const TMP_FILE = ")(rec)(.tmp";

namespace {

// The program's file object for the temporary file.
struct FileObject {
  const char* name = nullptr;
  file::Handle handle = 0;
};

FileObject FP;
std::int32_t I = 0;

void bind(FileObject& object) {
  object.name = TMP_FILE;
  object.handle = 0;
}

}  // namespace

void write_tmp_file() {
  bind(FP);
  check_io(file::create(FP.name, FP.handle));
  for (I = 0; I <= 43; ++I) {
    check_io(file::write_byte(FP.handle, WAV_HEADER[static_cast<std::size_t>(I)]));
  }
  check_io(file::close(FP.handle));
}

void delete_tmp_file() {
  bind(FP);
  const std::uint32_t code = file::remove(FP.name);
  // A refusal on a name that is a directory, or whose attributes cannot be
  // read, means there is no such file to delete.
  if (code == IO_ACCESS_DENIED && file::is_directory_or_unreadable(FP.name)) {
    fail_io(IO_FILE_NOT_FOUND);
  }
  check_io(code);
}
