#!/usr/bin/env bash
# Builds and runs the recorder, passing on its arguments:
#
#   scripts/record.sh              # interactive mode
#   scripts/record.sh take.wav     # argument mode
#
# It runs the native Linux program when the build has one, the Windows
# program under Wine otherwise. On a machine without sound input (no /dev/snd)
# it starts a headless audio server with a test tone and records that.
# Standard input stays the caller's: the terminal, when run from one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
workdir=$PWD
cd "$root"

scripts/install-deps.sh >&2

build() {
  cmake --preset "$1" >&2 </dev/null &&
    cmake --build --preset "$1" --target tolvane >&2 </dev/null
}

program=
if build linux && [ -x build/linux/tolvane ]; then
  program=$root/build/linux/tolvane
else
  build windows
  program=$root/build/windows/tolvane.exe
fi

if [ ! -d /dev/snd ]; then
  audio=$(mktemp -d /tmp/tolvane-audio.XXXXXX)
  stop_audio() { "$root/tests/audio/stop-server.sh" "$audio"; rm -rf "$audio"; }
  trap stop_audio EXIT
  tests/audio/start-server.sh "$audio" >&2
  # shellcheck source=/dev/null
  . "$audio/env"
  # Only our own configuration: the system's would send ALSA elsewhere.
  export ALSA_CONFIG_PATH=$root/tests/audio/alsa-pulse.conf
  echo "No sound input on this machine: recording a test tone." >&2
fi

cd "$workdir"
status=0
if [ "${program%.exe}" != "$program" ]; then
  export WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix}
  export WINEDEBUG=${WINEDEBUG:--all}
  # Wine's pulse driver refuses 24-bit capture; its ALSA driver takes it.
  export WINEDLLOVERRIDES="winepulse.drv=d;winedbg.exe=d"
  wine "$program" "$@" || status=$?
else
  "$program" "$@" || status=$?
fi
exit $status
