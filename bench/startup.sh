#!/usr/bin/env bash
# Start-up at scale: packs shows of one page and of about 10 MB, 100 MB,
# 400 MB and 2.5 GB of pictures and measures, under Wine, the time from
# launching the saver to its first page on the screen, next to the time of
# `cp` of the same saver file (one read and one write of the data: what
# extraction cannot go below), the saver's peak memory and what it left in
# the temp folder. The product measured is the 32-bit VORMKIT.scr wherever
# this machine runs 32-bit programs under Wine, else the 64-bit build.
# Usage: bench/startup.sh [--player LABEL=FILE]... [--runs N] [SIZES_MB...]
#   (default sizes: 10 100 400 2500; run under a display)
# Several --player options measure several players side by side on the same
# shows, one row each (for before-and-after tables).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
pack="$top/build/native/tools/pack/vormkit-pack"
export WINEPREFIX=${VK_WINEPREFIX:-$top/build/wineprefix}
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"

players=() sizes=() runs=3
while [ $# -gt 0 ]; do
  case "$1" in
    --player) players+=("$2"); shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) sizes+=("$1"); shift ;;
  esac
done
[ ${#sizes[@]} -gt 0 ] || sizes=(10 100 400 2500)
if [ ${#players[@]} -eq 0 ]; then
  # The 32-bit product needs a kernel that runs 32-bit processes and Wine's
  # 32-bit loader (wine64 hands 32-bit programs over to it).
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    players=("32-bit=$top/build/win32/bin/VORMKIT.scr")
  else
    players=("64-bit=$top/build/win64/bin/VORMKIT.scr")
  fi
fi

work=$(mktemp -d /tmp/vk-startup.XXXXXX)
saver=""
finish() {
  [ -n "$saver" ] && kill "$saver" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# One noisy 1600 x 1200 JPEG is about 2.5 MB; pages are hard links to it.
convert -size 1600x1200 -seed 5 plasma: -attenuate 0.6 +noise Gaussian -quality 95 "$work/picture.jpg"
picture_kb=$(( $(stat -c %s "$work/picture.jpg") / 1000 ))

now() { date +%s.%N; }
median() { python3 -c "import sys, statistics; v = [float(x) for x in sys.argv[1:] if x != 'n/a']; print(round(statistics.median(v), 2) if v else 'n/a')" "$@"; }
# The saver's peak resident memory in MB so far (the Windows program under Wine).
peak_now() {
  for p in $(pgrep -f 'Big\.scr'); do awk '/VmHWM/ {print int($2 / 1024)}' /proc/$p/status 2>/dev/null; done |
    sort -n | tail -n 1
}

# One run of a saver file: prints "cp-seconds first-page-seconds peak-MB left",
# where left counts what the run added to the temp folder.
run_once() {  # run_once DIR
  local dir=$1 t0 t1 t2 first="" peak=0 p before
  before=$(ls -A "$temp" 2>/dev/null | sort)
  sync
  t0=$(now); cp "$dir/Big.scr" "$dir/Copy.scr"; sync; t1=$(now)
  rm -f "$dir/Copy.scr"
  sync
  t2=$(now)
  (cd "$dir" && exec bash "$top/scripts/wine-run" Big.scr /s) >/dev/null 2>&1 &
  saver=$!
  for _ in $(seq 1200); do
    centre=$(import -window root -crop 1x1+512+384 +repage -format '%[hex:u.p{0,0}]' info:- 2>/dev/null)
    [[ $centre =~ ^[0-9A-Fa-f]+$ && ! $centre =~ ^0+$ ]] && { first=$(now); break; }
    p=$(peak_now); [ -n "$p" ] && [ "$p" -gt "$peak" ] && peak=$p
    kill -0 $saver 2>/dev/null || break  # ended before showing anything
    sleep 0.05
  done
  if [ -n "$first" ]; then
    sleep 1
    p=$(peak_now); [ -n "$p" ] && [ "$p" -gt "$peak" ] && peak=$p
  fi
  # Keep moving the mouse until it ends: a running effect takes the first move.
  for i in $(seq 40); do
    kill -0 $saver 2>/dev/null || break
    xdotool mousemove $((10 + i * 7)) $((10 + i * 5)) 2>/dev/null
    sleep 0.25
  done
  kill -0 $saver 2>/dev/null && { echo "the saver did not end" >&2; kill $saver; }
  wait $saver 2>/dev/null || true
  saver=""
  local left; left=$(comm -13 <(echo "$before") <(ls -A "$temp" 2>/dev/null | sort) | grep -c . || true)
  python3 -c "print(round($t1 - $t0, 2), round(${first:-0} - $t2, 2) if '$first' else 'n/a', $peak, $left)"
}

printf '%-8s %-8s %-8s %-8s %-14s %-7s %-14s %s\n' "show" "player" "file MB" "cp s" "first page s" "ratio" \
  "peak memory MB" "left in temp"
declare -A base
for mb in warm-up 1page "${sizes[@]}"; do
  dir="$work/s$mb"; mkdir -p "$dir"
  pages=1
  case "$mb" in warm-up|1page) ;; *) pages=$(( mb * 1000 / picture_kb )); [ $pages -ge 1 ] || pages=1 ;; esac
  python3 - "$dir" "$pages" <<'PY'
import json, os, sys
d, n = sys.argv[1], int(sys.argv[2])
pages = []
for i in range(n):
    name = "p%04d.jpg" % i
    os.link(os.path.join(d, "..", "picture.jpg"), os.path.join(d, name))
    pages.append({"time": 60000, "background": "#203040",
                  "pictures": [{"file": name, "place": [0.1, 0.1, 0.9, 0.9]}]})
json.dump({"pages": pages}, open(os.path.join(d, "show.json"), "w"))
PY
  for entry in "${players[@]}"; do
    label=${entry%%=*} player=${entry#*=}
    "$pack" build "$dir/show.json" -o "$dir/Big.scr" --player "$player" >/dev/null
    size=$(( $(stat -c %s "$dir/Big.scr") / 1000000 ))
    n=$runs; [ "$mb" = warm-up ] && n=1  # Wine's first start in a session is slower
    cps=() firsts=() peak=0 left=0
    for _ in $(seq "$n"); do
      run_once "$dir" > "$work/run.txt"
      read -r c f p l < "$work/run.txt"
      cps+=("$c"); firsts+=("$f")
      [ "$p" -gt "$peak" ] && peak=$p
      [ "$l" -gt "$left" ] && left=$l
    done
    rm -f "$dir/Big.scr"
    [ "$mb" = warm-up ] && continue
    cp_s=$(median "${cps[@]}") first_s=$(median "${firsts[@]}")
    [ "$mb" = 1page ] && base[$label]=$first_s
    ratio=$(python3 -c "b, f, c = '${base[$label]:-n/a}', '$first_s', $cp_s
print(round((float(f) - float(b)) / max(c, 0.01), 1) if 'n/a' not in (b, f) else 'n/a')")
    [ "$mb" = 1page ] && ratio="base"
    show=$mb; [ "$mb" = 1page ] || show="${mb}MB"
    printf '%-8s %-8s %-8s %-8s %-14s %-7s %-14s %s\n' "$show" "$label" "$size" "$cp_s" "$first_s" "$ratio" \
      "$peak" "$left"
  done
  rm -rf "$dir"
done
