#!/usr/bin/env bash
# The editor with a large folder: the time from starting vormkit-editor.exe
# on a folder of photos until its window shows the pages and until the last
# thumbnail has arrived (the editor's VORMKIT_EDITOR_TRACE timings), against
# `vormkit-pack folder` (the 32-bit tool, under the same Wine) making a saver
# of the same folder; then the editor's peak memory with a show of many pages
# open, all thumbnails made. Each photo is 12 MP (4000 x 3000), a noisy JPEG
# of camera size; the files are hard links to one, read from the page cache.
# Usage: bench/editor.sh [--before EDITOR.exe] [PHOTOS] [PAGES]   (defaults 200
# and 500); --before also times another build of the editor on the same
# folders, in the same run.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
bin="$top/build/win32/bin"
editors=("now=$bin/vormkit-editor.exe")
before=""
if [ "${1:-}" = --before ]; then before=$2; shift 2; fi
photos=${1:-200} pages=${2:-500}
export WINEPREFIX=${VK_WINEPREFIX:-$top/build/wineprefix}
run="$top/scripts/wine-run"
work=$(mktemp -d /tmp/vk-editor-bench.XXXXXX)
cleanup() { pkill -f 'vormkit-editor\.exe' 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# The other build runs under the editor's own file name, so that one pattern
# finds whichever is running (and never this script).
if [ -n "$before" ]; then
  mkdir -p "$work/before" && cp "$before" "$work/before/vormkit-editor.exe" || exit 1
  editors=("before=$work/before/vormkit-editor.exe" "${editors[@]}")
fi

convert -size 4000x3000 -seed 7 plasma: -attenuate 0.5 +noise Gaussian -quality 92 "$work/photo.jpg"
make_folder() {  # make_folder DIR COUNT
  mkdir -p "$1"
  for i in $(seq -w 1 "$2"); do ln "$work/photo.jpg" "$1/IMG_$i.jpg"; done
}
make_folder "$work/photos" "$photos"
echo "photo: 4000 x 3000, $(( $(stat -c %s "$work/photo.jpg") / 1000 )) KB"

peak() {  # the editor's peak resident memory in MB
  for p in $(pgrep -f 'vormkit-editor\.exe'); do awk '/VmHWM/ {print int($2 / 1024)}' /proc/$p/status 2>/dev/null; done |
    sort -n | tail -1
}
# Starts the editor ($editor) on a folder and waits for its last thumbnail;
# prints "shown-seconds thumbnails-seconds peak-MB".
editor_run() {
  local trace="$work/trace.txt" done_line="" p top_mb=0
  rm -f "$trace"
  # A run ends with the editor killed, which leaves its autosave behind: the
  # next start would offer it back and wait.
  rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VORMKIT/Recovery"
  VORMKIT_EDITOR_TRACE="$(winpath "$trace")" "$run" "$editor" "$(winpath "$1")" >/dev/null 2>&1 &
  for _ in $(seq 6000); do
    p=$(peak); [ -n "$p" ] && [ "$p" -gt "$top_mb" ] && top_mb=$p
    done_line=$(grep ' thumbnails ' "$trace" 2>/dev/null | head -1)
    [ -n "$done_line" ] && break
    sleep 0.1
  done
  sleep 1; p=$(peak); [ -n "$p" ] && [ "$p" -gt "$top_mb" ] && top_mb=$p
  pkill -f 'vormkit-editor\.exe'; wait 2>/dev/null
  local shown; shown=$(awk '$2 == "shown" {print $1; exit}' "$trace")
  python3 -c "print(round(${shown:-0} / 1000, 2), round(${done_line%% *} / 1000, 2), $top_mb)"
}

echo "== $photos photos of 12 MP"
start=$(date +%s.%N)
"$run" "$bin/vormkit-pack.exe" folder "$(winpath "$work/photos")" -o "$(winpath "$work/out.scr")" >/dev/null 2>&1
printf '%-52s %8s\n' "vormkit-pack.exe folder, the saver written (s)" "$(python3 -c "print(round($(date +%s.%N) - $start, 2))")"
for entry in "${editors[@]}"; do
  label=${entry%%=*} editor=${entry#*=}
  read -r shown thumbs mem < <(editor_run "$work/photos")
  printf '%-52s %8s\n' "editor ($label): window with $photos pages (s)" "$shown" \
    "editor ($label): last thumbnail (s)" "$thumbs" "editor ($label): peak memory (MB)" "$mem"
done

echo "== $pages pages"
make_folder "$work/many" "$pages"
for entry in "${editors[@]}"; do
  label=${entry%%=*} editor=${entry#*=}
  read -r shown thumbs mem < <(editor_run "$work/many")
  printf '%-52s %8s\n' "editor ($label): window with $pages pages (s)" "$shown" \
    "editor ($label): last thumbnail (s)" "$thumbs" "editor ($label): peak memory, all thumbnails (MB)" "$mem"
done
