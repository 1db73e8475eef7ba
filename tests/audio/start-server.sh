#!/usr/bin/env bash
# Starts a headless PulseAudio server of our own for recordings on a machine
# without a sound card, and writes DIR/env with the variables a client needs.
#
#   tests/audio/start-server.sh DIR
#   . DIR/env        # XDG_RUNTIME_DIR, PULSE_SERVER
#
# The server has:
#   - sink "null" (88200 Hz, s24le, stereo) fed with a continuous test tone, so
#     that recordings from its monitor are not silent; "null.monitor" is the
#     default source;
#   - source "fixture", a clocked silent source with a short latency; ALSA's
#     file plugin reads a raw fixture paced by it (alsa-fixture.conf).
# Stop it with tests/audio/stop-server.sh DIR.
set -euo pipefail

dir=${1:?usage: start-server.sh DIR}
mkdir -p "$dir/pulse"
dir=$(cd "$dir" && pwd)

export XDG_RUNTIME_DIR=$dir
export PULSE_SERVER=unix:$dir/pulse/native
unset PULSE_SINK PULSE_SOURCE

cat >"$dir/env" <<ENV
export XDG_RUNTIME_DIR='$dir'
export PULSE_SERVER='unix:$dir/pulse/native'
ENV

# Any server left over from an earlier run in the same directory goes first.
"$(dirname "$0")/stop-server.sh" "$dir"

pulseaudio -n --daemonize=yes --use-pid-file=yes --exit-idle-time=-1 --system=false \
  --log-target=file:"$dir/pulse.log" \
  --load="module-native-protocol-unix socket=$dir/pulse/native auth-anonymous=1" \
  --load="module-null-sink sink_name=null rate=88200 format=s24le channels=2" \
  --load="module-null-source source_name=fixture rate=88200 format=s24le channels=2 max_latency_msec=50" \
  2>>"$dir/pulse.log"

for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.05
done
pactl info >/dev/null

pactl set-default-source null.monitor
pactl set-default-sink null

# The tone feed: a 440 Hz sine at half scale, forever, in the sink's format.
(
  exec >/dev/null 2>>"$dir/feed.log" </dev/null
  sox -q -n -t raw -r 88200 -e signed-integer -b 24 -c 2 - synth 0 sine 440 vol 0.5 |
    pacat -p -d null --raw --rate=88200 --format=s24le --channels=2 --latency-msec=50
) &
echo $! >"$dir/feed.pid"

# Ready when the feed's stream is playing into the sink.
for _ in $(seq 100); do
  pactl list short sink-inputs | grep -q . && break
  sleep 0.05
done
pactl list short sink-inputs | grep -q .

# The first capture from the monitor starts only after about two seconds;
# later ones start at once. Take that delay here rather than in a recording.
# (parec ends on the broken pipe once head has its bytes.)
warm=$({ parec -d null.monitor --raw --rate=88200 --format=s24le --channels=2 \
  --latency-msec=50 2>/dev/null || true; } | head -c 52920 | wc -c)
[ "$warm" -eq 52920 ]
