#!/usr/bin/env bash
# Start-up at scale: packs shows with about 10, 100 and 400 MB of pictures
# and measures, under Wine, the time from launching the saver to its first
# page on the screen, next to the time of `cp` of the same saver file (one
# read and one write of the data: what extraction cannot go below), the
# saver's peak memory and what it left in the temp folder.
# Usage: bench/startup.sh [SIZES_MB...]   (default: 10 100 400; run under a display)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
pack="$top/build/native/tools/pack/vormkit-pack"
player="$top/build/win64/bin/VORMKIT.scr"
work=$(mktemp -d /tmp/vk-startup.XXXXXX)
export WINEPREFIX=${VK_WINEPREFIX:-$top/build/wineprefix}
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10 100 400)

# One noisy 1600 x 1200 JPEG is about 2.5 MB; pages reuse copies of it.
convert -size 1600x1200 -seed 5 plasma: -attenuate 0.6 +noise Gaussian -quality 95 "$work/picture.jpg"
picture_mb=$(( $(stat -c %s "$work/picture.jpg") / 1000000 ))
[ "$picture_mb" -ge 1 ] || picture_mb=1

now() { date +%s.%N; }
# The first row (0: a single page) is the base: Wine's start and the first
# paint. The ratio is what a size adds to that base over the time of cp.
printf '%-8s %-10s %-8s %-14s %-7s %-14s %s\n' "show" "file MB" "cp s" "first page s" "ratio" "peak memory MB" "left in temp"
base=""
for mb in warm-up 0 "${sizes[@]}"; do
  dir="$work/s$mb"; mkdir -p "$dir"
  pages=1; [ "$mb" = warm-up ] || pages=$(( mb / picture_mb )); [ $pages -ge 1 ] || pages=1
  python3 - "$dir" "$pages" <<'PY'
import json, os, shutil, sys
d, n = sys.argv[1], int(sys.argv[2])
pages = []
for i in range(n):
    name = "p%03d.jpg" % i
    os.link(os.path.join(d, "..", "picture.jpg"), os.path.join(d, name))
    pages.append({"time": 60000, "background": "#203040",
                  "pictures": [{"file": name, "place": [0.1, 0.1, 0.9, 0.9]}]})
json.dump({"pages": pages}, open(os.path.join(d, "show.json"), "w"))
PY
  "$pack" build "$dir/show.json" -o "$dir/Big.scr" --player "$player" >/dev/null
  size=$(( $(stat -c %s "$dir/Big.scr") / 1000000 ))
  sync
  t0=$(now); cp "$dir/Big.scr" "$dir/Copy.scr"; sync; t1=$(now)
  rm -f "$dir/Copy.scr"
  t2=$(now)
  (cd "$dir" && exec bash "$top/scripts/wine-run" Big.scr /s) >/dev/null 2>&1 &
  saver=$!
  first=""
  for _ in $(seq 600); do
    centre=$(import -window root -crop 1x1+512+384 +repage -format '%[hex:u.p{0,0}]' info:- 2>/dev/null)
    [[ $centre =~ ^[0-9A-Fa-f]+$ && ! $centre =~ ^0+$ ]] && { first=$(now); break; }
    sleep 0.05
  done
  # Peak memory of the saver process (the Windows program under Wine).
  peak=$(for p in $(pgrep -f 'Big\.scr'); do awk '/VmHWM/ {print $2}' /proc/$p/status 2>/dev/null; done |
         sort -n | tail -n 1)
  # Keep moving the mouse until it ends: a running effect takes the first move.
  for i in $(seq 40); do
    kill -0 $saver 2>/dev/null || break
    xdotool mousemove $((10 + i * 7)) $((10 + i * 5)) 2>/dev/null
    sleep 0.25
  done
  kill -0 $saver 2>/dev/null && { echo "the saver did not end" >&2; kill $saver; }
  wait $saver 2>/dev/null || true
  left=$(ls -A "$temp" 2>/dev/null | wc -l)
  cp_s=$(python3 -c "print(round($t1 - $t0, 2))")
  first_s=$(python3 -c "print(round(${first:-0} - $t2, 2) if '${first}' else 'n/a')")
  rm -rf "$dir"
  [ "$mb" = warm-up ] && continue  # Wine's first start in a session is slower
  [ -n "$base" ] || base=$first_s
  ratio=$(python3 -c "print(round(($first_s - $base) / max($cp_s, 0.01), 1) if 'n/a' not in '$first_s $base' else 'n/a')")
  printf '%-8s %-10s %-8s %-14s %-7s %-14s %s\n' "${mb}MB" "$size" "$cp_s" "$first_s" "$ratio" \
    "$(( ${peak:-0} / 1024 ))" "$left"
done
