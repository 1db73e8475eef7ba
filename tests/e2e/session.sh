#!/usr/bin/env bash
# Sets up and tears down what the end-to-end tests share within one CTest run:
# a headless audio server, and on the Windows build a Wine prefix of the tests'
# own with a persistent wineserver (so that each run starts warm).
#
#   session.sh start|stop AUDIO_DIR [WINEPREFIX]
set -euo pipefail

action=${1:?usage: session.sh start|stop AUDIO_DIR [WINEPREFIX]}
audio=${2:?usage: session.sh start|stop AUDIO_DIR [WINEPREFIX]}
prefix=${3:-}
audio_scripts=$(cd "$(dirname "$0")/../audio" && pwd)

case $action in
start)
  "$audio_scripts/start-server.sh" "$audio"
  if [ -n "$prefix" ]; then
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d"
    if [ ! -f "$prefix/system.reg" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
    fi
    # A persistent server (this fails harmlessly when one is running
    # already), and Wine's own services started now, detached from any test's
    # pipes, so that later runs start warm and end as soon as the program does.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
  fi
  ;;
stop)
  if [ -n "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  fi
  "$audio_scripts/stop-server.sh" "$audio"
  ;;
*)
  echo "session.sh: unknown action $action" >&2
  exit 2
  ;;
esac
