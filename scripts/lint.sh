#!/usr/bin/env bash
# Checks that the C++ sources are formatted as .clang-format says and clean
# under .clang-tidy: the Linux sources against build/linux, the Windows ones
# against build/windows (when it is configured) with MinGW-w64's headers.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"

mapfile -t posix < <(git ls-files -- 'src/*.cpp' 'waveaudio/*.cpp' ':!:*-win32.cpp' ':!:waveaudio/tests/*')
mapfile -t windows < <(git ls-files -- 'src/*-win32.cpp')
clang-tidy -p build/linux --quiet "${posix[@]}"

if [ ! -f build/windows/compile_commands.json ]; then
  echo "build/windows is not configured: the Windows sources were not checked"
  exit 0
fi
mingw=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include
clang-tidy -p build/windows --quiet --extra-arg=--target=x86_64-w64-mingw32 \
  --extra-arg=-isystem"$mingw/c++" --extra-arg=-isystem"$mingw/c++/x86_64-w64-mingw32" \
  --extra-arg=-isystem/usr/x86_64-w64-mingw32/include "${windows[@]}"
