#!/usr/bin/env bash
# One monitor against two: the wall time of each effect run at 1920 x 1080
# on one screen and on two at once (effects_bench --screens), and the peak
# memory of the real saver playing a show of full-screen pictures on one
# 1920 x 1080 monitor and on two (a nested Xephyr with Xinerama, as the
# end-to-end tests use). Usage: bench/screens.sh [SECONDS-PER-RUN]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
bin="$top/build/win32/bin"
pack="$top/build/native/tools/pack/vormkit-pack"
seconds=${1:-20}
work=$(mktemp -d /tmp/vk-screens-bench.XXXXXX)
servers=()
cleanup() { /usr/lib/wine/wineserver -k >/dev/null 2>&1; for s in "${servers[@]}"; do kill "$s" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
export WINEPREFIX=${VK_WINEPREFIX:-$top/build/wineprefix}

echo "== effects at 1920 x 1080: one screen, two screens at once (ms)"
one=$("$top/scripts/wine-run" "$bin/effects_bench.exe" --size 1920x1080 | tr -d '\r')
two=$("$top/scripts/wine-run" "$bin/effects_bench.exe" --size 1920x1080 --screens 2 | tr -d '\r')
paste <(awk '{print $1, $NF == "ms" ? $(NF-1) : ""}' <<<"$one") <(awk '{print $(NF-1)}' <<<"$two") |
  awk '{printf "%-8s %6s %6s\n", $1, $2, $3}'

# Four pages, each a full-screen photo-like picture (noise, so the JPEG is
# as large as a photo's), the six effects taking turns.
for i in 1 2 3 4; do convert -size 1920x1080 plasma:fractal -quality 92 "$work/p$i.jpg"; done
cat > "$work/show.json" <<JSON
{ "screen": [1920, 1080], "pages": [
  {"time": 1500, "pictures": [{"file": "p1.jpg", "place": [0, 0, 1, 1]}], "transition": {"plugin": "gray.tns"}},
  {"time": 1500, "pictures": [{"file": "p2.jpg", "place": [0, 0, 1, 1]}], "transition": {"plugin": "QUADRIL.tns"}},
  {"time": 1500, "pictures": [{"file": "p3.jpg", "place": [0, 0, 1, 1]}], "transition": {"plugin": "diffuse.tns"}},
  {"time": 1500, "pictures": [{"file": "p4.jpg", "place": [0, 0, 1, 1]}], "transition": {"plugin": "nijimu.tns"}}]}
JSON
"$pack" build "$work/show.json" -o "$work/Bench.scr" --player "$bin/VORMKIT.scr" >/dev/null || exit 1

free_display() { for n in $(seq 170 199); do [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return; }; done; }
peak() {  # peak SCREEN-ARGS...: the saver's peak resident memory in MB after $seconds s
  local host nested
  host=$(free_display); Xvfb ":$host" -screen 0 4000x1200x24 -nolisten tcp >/dev/null 2>&1 & servers+=($!)
  sleep 1
  nested=$(free_display)
  DISPLAY=":$host" Xephyr ":$nested" +xinerama -extension RANDR "$@" -nolisten tcp >/dev/null 2>&1 & servers+=($!)
  sleep 1
  (cd "$work" && DISPLAY=":$nested" exec "$top/scripts/wine-run" 'Z:'"$(tr / '\\' <<<"$work/Bench.scr")" /s) >/dev/null 2>&1 &
  sleep "$seconds"
  local pid; pid=$(pgrep -f 'Bench.scr' | head -n 1)
  local hwm; hwm=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$pid/status" 2>/dev/null)
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  sleep 1
  echo "${hwm:-?}"
}
echo "== peak memory of the saver, four full-screen pictures, $seconds s of play"
echo "one 1920 x 1080 monitor: $(peak -screen 1920x1080) MB"
echo "two 1920 x 1080 monitors: $(peak -screen 1920x1080 -screen 1920x1080) MB"
