#!/usr/bin/env bash
# Start-up at scale: packs shows with about 10, 100 and 400 MB of pictures
# and measures, under Wine, the time from launching the saver to its first
# page on the screen, next to the time of `cp` of the same saver file (one
# read and one write of the data: what extraction cannot go below).
# Usage: bench/startup.sh [SIZES_MB...]   (default: 10 100 400)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
pack="$top/build/native/tools/pack/vormkit-pack"
player="$top/build/win64/bin/VORMKIT.scr"
work=$(mktemp -d /tmp/vk-startup.XXXXXX)
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10 100 400)

# One noisy 1600 x 1200 JPEG is about 2.5 MB; pages reuse copies of it.
convert -size 1600x1200 -seed 5 plasma: -attenuate 0.6 +noise Gaussian -quality 95 "$work/picture.jpg"
picture_mb=$(( $(stat -c %s "$work/picture.jpg") / 1000000 ))
[ "$picture_mb" -ge 1 ] || picture_mb=1

now() { date +%s.%N; }
printf '%-8s %-10s %-12s %-12s %s\n' "show" "file MB" "cp s" "first page s" "ratio"
for mb in "${sizes[@]}"; do
  dir="$work/s$mb"; mkdir -p "$dir"
  pages=$(( mb / picture_mb )); [ $pages -ge 1 ] || pages=1
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
    import -window root -crop 1x1+512+384 txt:- 2>/dev/null | grep -qv '#000000' && { first=$(now); break; }
    sleep 0.05
  done
  xdotool mousemove 10 10; sleep 0.2; xdotool mousemove 300 300
  wait $saver 2>/dev/null || true
  cp_s=$(python3 -c "print(round($t1 - $t0, 2))")
  first_s=$(python3 -c "print(round(${first:-0} - $t2, 2) if '${first}' else 'n/a')")
  ratio=$(python3 -c "print(round(($first_s) / max($cp_s, 0.01), 1) if '$first_s' != 'n/a' else 'n/a')")
  printf '%-8s %-10s %-12s %-12s %s\n' "${mb}MB" "$size" "$cp_s" "$first_s" "$ratio"
  rm -rf "$dir"
done
