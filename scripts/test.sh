#!/usr/bin/env bash
# Builds tolvane for Linux and for Windows and runs every test: unit tests,
# and the end-to-end tests against Wine's real MCI driver and the native
# device, recording from a headless audio server of our own; then the same
# native tests built with AddressSanitizer and UndefinedBehaviorSanitizer, the
# device's tests with ThreadSanitizer, and a bounded run of each fuzz target.
# Works on a fresh Debian 12 machine without a sound card; exits non-zero on
# any failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

status=0
for preset in linux windows asan tsan fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done

# The Wine prefix of the tests, made once per build tree.
export WINEPREFIX=$root/build/windows/wineprefix
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d" wineboot -i </dev/null >/dev/null 2>&1
fi

# A persistent wineserver with Wine's own services started, detached from any
# test's pipes: test programs start warm and end as soon as they are done.
stop_wine() { wineserver -k 2>/dev/null || true; }
WINEDEBUG=-all wineserver -p </dev/null >/dev/null 2>&1 || true
WINEDEBUG=-all wine cmd.exe /c exit </dev/null >/dev/null 2>&1

audio=$root/build/audio
stop_audio() { tests/audio/stop-server.sh "$audio"; }
trap 'stop_audio; stop_wine' EXIT
tests/audio/start-server.sh "$audio"
# shellcheck source=/dev/null
. "$audio/env"

for preset in linux windows asan tsan fuzz; do
  ctest --preset "$preset" || status=1
done
exit $status
