#!/usr/bin/env bash
# Benchmarks the native recorder against arecord on one headless audio server
# of its own: start and stop latency, CPU time, peak memory and the saved
# files, then a plot of peak memory and stop latency against length.
#
#   bench/run.sh           # 5 rounds of 2, 10, 30 and 60 s recordings (about 18 min)
#   bench/run.sh --quick   # 3 rounds of 1, 2 and 5 s, a smoke check (about 1 min)
#
# Output goes to build/bench: runs.json (every run), plot.dat and bench.png.
set -euo pipefail

quick=()
case "${1-}" in
  "") ;;
  --quick) quick=(--quick) ;;
  *)
    echo "usage: bench/run.sh [--quick]" >&2
    exit 2
    ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/bench
cd "$root"

# What building, the audio server, the reference (arecord) and the plot need.
scripts/install-deps.sh gnuplot-nox

cmake --preset linux >/dev/null
cmake --build --preset linux --target tolvane
mkdir -p "$out"
c++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror -static \
  bench/launch.cpp -o "$out/launch"

audio=$out/audio
trap 'tests/audio/stop-server.sh "$audio"' EXIT
tests/audio/start-server.sh "$audio"
# shellcheck source=/dev/null
. "$audio/env"
# Only our own configuration: the system's would send ALSA elsewhere.
export ALSA_CONFIG_PATH=$root/tests/audio/alsa-pulse.conf

status=0
python3 bench/measure.py --tolvane build/linux/tolvane --launch "$out/launch" --out "$out" \
  "${quick[@]}" || status=$?
gnuplot -e "data='$out/plot.dat'; output='$out/bench.png'" bench/plot.gp
echo "plot: $out/bench.png"
exit $status
