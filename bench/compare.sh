#!/usr/bin/env bash
# Times our decoding and resizing of a 4000 x 3000 JPEG against djpeg -bmp
# (libjpeg-turbo) and ImageMagick's convert -resize in the same run, and
# prints our time as a ratio to each (below 1 means we are faster). Every
# time is the best of several runs; ImageMagick is held to one thread, like us.
# Usage: bench/compare.sh [build folder, default build/bench]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/bench}
data=$build/data
mkdir -p "$data"
jpeg=$data/photo_4000x3000.jpg
if [ ! -s "$jpeg" ]; then
  convert -size 4000x3000 plasma:fractal -seed 7 -blur 0x1 -quality 90 -sampling-factor 2x2 "$jpeg"
fi
export MAGICK_THREAD_LIMIT=1 VK_BENCH_JPEG=$jpeg

best() {  # best wall time in ms of N runs of a command
  local n=$1; shift
  python3 - "$n" "$@" <<'PY'
import subprocess, sys, time
n = int(sys.argv[1]); cmd = sys.argv[2:]
best = None
for _ in range(n):
    t = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    d = (time.perf_counter() - t) * 1000
    best = d if best is None or d < best else best
print(f"{best:.1f}")
PY
}

djpeg_ms=$(best 5 djpeg -bmp -outfile "$data/djpeg.bmp" "$jpeg")
im_read_ms=$(best 3 convert "$jpeg" null:)
im_resize_ms=$(best 3 convert "$jpeg" -resize '1024x768!' null:)

json=$data/bench.json
"$build/bench/vk_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=json --benchmark_out="$json" --benchmark_out_format=json >/dev/null

python3 - "$json" "$djpeg_ms" "$im_read_ms" "$im_resize_ms" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
def ms(name):  # median of the repetitions, in ms
    vals = [b for b in runs if b["run_name"] == name and b.get("aggregate_name") == "median"]
    b = vals[0]
    scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
    return b["real_time"] * scale
djpeg, im_read, im_resize = (float(v) for v in sys.argv[2:5])
im_scale = max(im_resize - im_read, 0.001)
decode = ms("BM_PictureLoadJpeg")
both = ms("BM_PictureLoadAndScale")
scale = ms("BM_ScaleSmooth/4000/3000/1024/768")
print(f"JPEG 4000x3000 decode: ours {decode:.1f} ms, djpeg -bmp {djpeg:.1f} ms (process, incl. writing the file): ratio {decode / djpeg:.2f}")
print(f"resize 4000x3000 -> 1024x768: ours {scale:.1f} ms, convert -resize {im_scale:.1f} ms (resize part): ratio {scale / im_scale:.2f}")
print(f"decode + resize: ours {both:.1f} ms, convert {im_resize:.1f} ms: ratio {both / im_resize:.2f}")
for name in ("BM_ScaleSmooth/640/480/1920/1080", "BM_Blend", "BM_Rotate90"):
    print(f"{name}: {ms(name):.2f} ms")
PY
