#!/usr/bin/env bash
# Builds both release packages, each with a .sha256 file beside it:
#
#   build/windows/tolvane-<version>-win64.zip      the Windows download
#   build/linux/tolvane_<version>_<arch>.deb       the Debian package
#
# It installs what is missing first, so it works from a fresh clone on a fresh
# Debian 12 machine. The packages carry the time of the last commit: the same
# commit gives the same zip, wherever and whenever it is built.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

for preset in linux windows; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" --target package
done

cat build/windows/tolvane-*-win64.zip.sha256 build/linux/tolvane_*.deb.sha256
