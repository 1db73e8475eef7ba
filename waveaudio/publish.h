#pragma once

#include <cstdint>
#include <string>

// Putting a file's content under a name whole or not at all.
namespace waveaudio {

// Gives the first `size` bytes of the open file the name `target`, replacing
// an existing file of that name at once (by rename): nothing is left under
// the name, or in its directory, when this fails. A linkable file (one made
// unnamed, and sharing a file system with the target) gets the name itself,
// and `linked` tells so; otherwise its content is copied. Answers 0 or errno
// (ENOENT or ENOTDIR when the target's directory does not exist).
int publish(int fd, std::uint64_t size, bool linkable, const std::string& target, bool& linked);

// The directory part of a path: "." for a bare name.
std::string directory_of(const std::string& path);

// Makes an unnamed file in the directory, open for reading and writing.
// Answers the descriptor, or -1 with errno set when the directory's file
// system cannot make unnamed files or it fails otherwise.
int make_unnamed(int directory);

// Copies the first `size` bytes of one open file to the start of another.
// Answers 0 or errno.
int copy_bytes(int from, int to, std::uint64_t size);

}  // namespace waveaudio
