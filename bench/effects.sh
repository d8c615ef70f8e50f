#!/usr/bin/env bash
# effects_bench of two versions of the effects, side by side in one run on
# this machine: every effect with its default parameters at 1024 x 768,
# 1920 x 1080 and 3840 x 2160 (old and new alternating, best of RUNS runs),
# the growth from 1920 x 1080 to 3840 x 2160 (4 times the pixels), and the
# time from a key press during the effect to its return at 3840 x 2160.
# Builds effects_bench with each version's effects (the benchmark's own code
# from NEW, scripts/effect-tools) and prints Markdown tables.
# Usage: bench/effects.sh [--arch i686|x86_64] [--runs N] OLD [NEW]
#   OLD, NEW: commits; NEW defaults to the working tree (".").
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
tools=$top/scripts/effect-tools
arch=$("$tools" arch)
runs=3
while [ "${1:-}" = --arch ] || [ "${1:-}" = --runs ]; do
  if [ "$1" = --arch ]; then arch=$2; else runs=$2; fi
  shift 2
done
[ $# -ge 1 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
old=$1
new=${2:-.}
old_bin=$("$tools" build "$old" "$arch" "$new")
new_bin=$("$tools" build "$new" "$arch")
log=$top/build/effect-tools/bench-$arch.txt
: >"$log"

measure() {
  local run size side bin
  for run in $(seq "$runs"); do
    for size in 1024x768 1920x1080 3840x2160; do
      for side in old new; do
        bin=$old_bin
        [ $side = new ] && bin=$new_bin
        "$tools" wine "$arch" "$bin/effects_bench.exe" --size $size </dev/null | sed "s/^/$side /" >>"$log"
      done
    done
  done
  for side in old new; do
    bin=$old_bin
    [ $side = new ] && bin=$new_bin
    "$tools" wine "$arch" "$bin/effects_bench.exe" --size 3840x2160 --key </dev/null | grep "key to return" |
      sed "s/^/$side /" >>"$log"
  done
}
export -f measure
export tools arch runs old_bin new_bin log
"$tools" screen bash -c measure

python3 - "$log" "$arch" "$old" "$new" "$runs" <<'PY'
import re, sys
log, arch, old, new, runs = sys.argv[1:]
best, keys, order = {}, {}, []
for line in open(log):
    m = re.match(r"(old|new) (\S+)\s+(\d+x\d+)\s+result (\d)\s+(\d+) ms", line)
    if m:
        side, name, size, result, ms = m.groups()
        if name not in order: order.append(name)
        k = (side, name, size)
        best[k] = min(best.get(k, 1e18), int(ms))
        continue
    m = re.match(r"(old|new) (\S+)\s+(\d+x\d+)\s+key to return: longest ([\d.]+) ms, mean ([\d.]+) ms", line)
    if m:
        side, name, size, longest, mean = m.groups()
        keys[(side, name)] = (float(longest), float(mean))
sizes = ["1024x768", "1920x1080", "3840x2160"]
print(f"effects_bench, {arch} build, best of {runs} runs; old = {old}, new = {new}\n")
print("| effect | " + " | ".join(f"{s.replace('x', ' × ')} old | new" for s in sizes) + " | growth old | growth new | new / old at 3840 × 2160 |")
print("|---|" + "---|---|" * len(sizes) + "---|---|---|")
for n in order:
    cells = []
    for s in sizes:
        cells += [f"{best.get(('old', n, s), 0)} ms", f"{best.get(('new', n, s), 0)} ms"]
    g = lambda side: best[(side, n, "3840x2160")] / max(best[(side, n, "1920x1080")], 1)
    r = best[("new", n, "3840x2160")] / max(best[("old", n, "3840x2160")], 1)
    print(f"| {n} | " + " | ".join(cells) + f" | {g('old'):.1f}× | {g('new'):.1f}× | {r:.2f} |")
print("\nKey press to the effect's return at 3840 × 2160 (keys at 10, 30, 50, 70 and 90 % of the run):\n")
print("| effect | old longest | old mean | new longest | new mean |")
print("|---|---|---|---|---|")
for n in order:
    o, w = keys.get(("old", n), (0, 0)), keys.get(("new", n), (0, 0))
    print(f"| {n} | {o[0]:.0f} ms | {o[1]:.0f} ms | {w[0]:.0f} ms | {w[1]:.0f} ms |")
PY
