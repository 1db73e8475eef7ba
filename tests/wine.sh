#!/bin/sh
# Runs a Windows test program under Wine, as CMake's emulator for the Windows
# build. Now and then Wine cannot start a process at all ("failed to map the
# shared user data": the kernel's random layout has put something at the
# address Wine needs); the program never ran, and it is run again, twice at
# most, saying so on standard error.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2 3; do
  status=0
  wine "$@" 2>"$errors" || status=$?
  if [ "$attempt" -lt 3 ] && grep -q "failed to map the shared user data" "$errors"; then
    echo "wine.sh: Wine did not start $1; running it again" >&2
    continue
  fi
  cat "$errors" >&2
  exit "$status"
done
