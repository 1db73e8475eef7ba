#!/usr/bin/env bash
# Stops the server and the tone feed that start-server.sh DIR started.
set -uo pipefail

dir=${1:?usage: stop-server.sh DIR}
[ -d "$dir" ] || exit 0

if [ -f "$dir/feed.pid" ]; then
  # The feed runs as its own subshell with sox and pacat as children.
  feed=$(cat "$dir/feed.pid")
  pkill -P "$feed" 2>/dev/null
  kill "$feed" 2>/dev/null
  rm -f "$dir/feed.pid"
fi

pidfile=$dir/pulse/pid
if [ -f "$pidfile" ]; then
  pid=$(cat "$pidfile")
  if kill "$pid" 2>/dev/null; then
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
  fi
  rm -f "$pidfile"
fi
exit 0
