#!/usr/bin/env bash
# Builds the Windows zip a second time, from a copy of the sources in another
# directory, later, in another time zone, under another umask and, as root,
# as another user, and compares it byte for byte with the zip of the build
# tree.
#
#   reproducible.sh SOURCE_DIR ZIP
#
# The copy holds the tracked files as they are in the working tree, and no
# git history: it gets the first build's time stamp, the last commit's time,
# through SOURCE_DATE_EPOCH. Only what the zip needs is built there.
set -euo pipefail

source_dir=$(cd "${1:?usage: reproducible.sh SOURCE_DIR ZIP}" && pwd)
first=${2:?usage: reproducible.sh SOURCE_DIR ZIP}

if ! epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null)}; then
  echo "No git commit and no SOURCE_DATE_EPOCH: the zip carries the build's times. Skipped."
  exit 77
fi

work=$(mktemp -d /tmp/tolvane-reproduce.XXXXXX)
trap 'rm -rf "$work"' EXIT
copy=$work/elsewhere/tolvane
mkdir -p "$copy"
# The working tree's files, new ones included; a deleted one is left out.
cd "$source_dir"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do
    if [ -e "$file" ]; then printf '%s\0' "$file"; fi
  done | xargs -0 cp --parents --target-directory="$copy"

# As another user where the test may switch (as root, on CI): the files it
# makes are that user's.
as_other=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$work"
  as_other=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
cd "$copy"
umask 0027
export TZ='<+14>-14' HOME=$work  # UTC+14
"${as_other[@]}" cmake --preset windows >/dev/null
"${as_other[@]}" cmake --build --preset windows --target tolvane >/dev/null
(cd build/windows && SOURCE_DATE_EPOCH=$epoch "${as_other[@]}" cpack >/dev/null)
second=$copy/build/windows/$(basename "$first")

for zip in "$first" "$second"; do
  echo "$(sha256sum "$zip" | cut -d' ' -f1)  made $(date -u -r "$zip" '+%F %T UTC')  $zip"
done
if ! cmp "$first" "$second"; then
  zipinfo -v "$first" >"$work/first.txt" || true
  zipinfo -v "$second" >"$work/second.txt" || true
  diff "$work/first.txt" "$work/second.txt" || true
  exit 1
fi
echo "The two zips are byte-identical."
