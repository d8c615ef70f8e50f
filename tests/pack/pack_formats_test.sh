#!/usr/bin/env bash
# End-to-end test of the picture formats of `vormkit-pack build`: a picture of
# four known quadrants is written by ImageMagick as PNG, GIF (two frames),
# TIFF, WebP and BMP (124-byte header, and RLE8); each is embedded as JPEG and
# decoded back through `decode` (the player's own decoder), and its quadrants
# are compared with the colours the test drew. Also: a JPEG's EXIF
# orientation becomes the picture's orientation code unless the manifest
# gives one, `--fit` scales pictures down (the box turned with the picture),
# and damaged or foreign files stop the build with a message naming them.
# Usage: pack_formats_test.sh TOOL [RUNNER...]
set -u
tool=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Natively the converted pictures go to TMPDIR, which must be empty afterwards.
mkdir "$work/tmp"
export TMPDIR="$work/tmp"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pack() { "${runner[@]}" "$tool" "$@"; }

# read_bmp FILE: sets W, H and PIX (RRGGBB, top-down) from a 24-bit BMP.
read_bmp() {
  local bytes
  mapfile -t bytes < <(od -An -v -tu1 -w1 "$1" | tr -d ' ')
  u32() { echo $((bytes[$1] | bytes[$1 + 1] << 8 | bytes[$1 + 2] << 16 | bytes[$1 + 3] << 24)); }
  local offset=$(u32 10) bits=$((bytes[28] | bytes[29] << 8)) x y at
  W=$(u32 18) H=$(u32 22) PIX=()
  [ "$bits" = 24 ] && ((H < 65536)) || { W=0 H=0; return 1; }
  local stride=$(((W * 3 + 3) / 4 * 4))
  for ((y = 0; y < H; y++)); do
    for ((x = 0; x < W; x++)); do
      at=$((offset + (H - 1 - y) * stride + x * 3))
      PIX+=("$(printf '%02x%02x%02x' "${bytes[at + 2]}" "${bytes[at + 1]}" "${bytes[at]}")")
    done
  done
}
# near RRGGBB RRGGBB: each channel within 12.
near() {
  local a=$1 b=$2 i d
  for i in 0 2 4; do
    d=$((16#${a:i:2} - 16#${b:i:2}))
    ((d >= -12 && d <= 12)) || return 1
  done
}
# quadrants BMP: the colours at the centres of the four quadrants.
quadrants() {
  read_bmp "$1" || return 1
  Q="${PIX[(H / 4) * W + W / 4]} ${PIX[(H / 4) * W + 3 * W / 4]} ${PIX[(3 * H / 4) * W + W / 4]} ${PIX[(3 * H / 4) * W + 3 * W / 4]}"
}
check_quadrants() {  # name bmp expected...
  local name=$1 bmp=$2 i
  shift 2
  quadrants "$bmp" || { fail "$name: not a 24-bit BMP"; return; }
  local got=($Q) want=("$@")
  for i in 0 1 2 3; do near "${got[i]}" "${want[i]}" || fail "$name: quadrant $i is ${got[i]}, not ${want[i]}"; done
}

# --- the picture: 32 x 32, red and green above blue and white -----------------
printf 'P6\n2 2\n255\n\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff' >"$work/q2.ppm"
convert "$work/q2.ppm" -scale 1600% "$work/q.ppm"
convert "$work/q.ppm" "$work/q.png"
convert "$work/q.ppm" \( "$work/q.ppm" -negate \) "$work/q.gif"
convert "$work/q.ppm" -compress lzw "$work/q.tif"
convert "$work/q.ppm" -define webp:lossless=true "$work/q.webp"
convert "$work/q.ppm" "$work/q.bmp"
convert "$work/q.ppm" -type palette -compress RLE bmp3:"$work/qrle.bmp"
formats=(q.png q.gif q.tif q.webp q.bmp qrle.bmp)
printf 'MZ test player image' >"$work/player.scr"

pages=""
for f in "${formats[@]}"; do
  pages+="${pages:+,}{\"pictures\": [{\"file\": \"$f\", \"place\": [0, 0, 1, 1]}]}"
done
printf '{"quality": 95, "pages": [%s]}' "$pages" >"$work/all.json"
pack build "$work/all.json" -o "$work/all.scr" --player "$work/player.scr" || fail "build of every format"
pack extract "$work/all.scr" "$work/all" >/dev/null || fail "extract"
for i in "${!formats[@]}"; do
  embedded="$work/all/i_${i}_0.TMP"
  [ "$(od -An -tx1 -N3 "$embedded" 2>/dev/null | tr -d ' ')" = ffd8ff ] || { fail "${formats[i]}: not embedded as JPEG"; continue; }
  pack decode "$embedded" -o "$work/out$i.bmp" || { fail "${formats[i]}: the player cannot decode the JPEG"; continue; }
  check_quadrants "${formats[i]}" "$work/out$i.bmp" ff0000 00ff00 0000ff ffffff
  [ "$W x $H" = "32 x 32" ] || fail "${formats[i]}: size $W x $H"
done

# --- EXIF orientation ---------------------------------------------------------
# A 32 x 16 JPEG (red left, green right) whose EXIF says: turn a quarter clockwise (6).
convert "$work/q2.ppm" -crop 2x1+0+0 -scale 1600% -quality 95 "$work/wide.jpg"
app1='\xff\xe1\x00\x22Exif\x00\x00II\x2a\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
{ head -c 2 "$work/wide.jpg"; printf "$app1"; tail -c +3 "$work/wide.jpg"; } >"$work/turned.jpg"
cat >"$work/exif.json" <<'JSON'
{"pages": [{"pictures": [{"file": "turned.jpg", "place": [0, 0, 1, 1]},
                         {"file": "turned.jpg", "place": [0, 0, 1, 1], "orientation": 0}]}]}
JSON
pack build "$work/exif.json" -o "$work/exif.scr" --player "$work/player.scr" || fail "build with an EXIF JPEG"
info=$(pack info "$work/exif.scr" | tr -d '\r')
grep -q "picture 1: $(stat -c %s "$work/turned.jpg") bytes, .*orientation 1, shadow 0, i_0_0.jpg" <<<"$info" ||
  fail "EXIF 6 is not orientation 1, or the JPEG was not kept: $info"
grep -q "picture 2: .*orientation 0," <<<"$info" || fail "the manifest's orientation 0 was not kept: $info"
pack extract "$work/exif.scr" "$work/exif" >/dev/null
cmp -s "$work/exif/i_0_0.jpg" "$work/turned.jpg" || fail "the EXIF JPEG was not embedded as it is"
# Shown upright it is 16 wide, 32 high: red on top.
pack decode "$work/exif/i_0_0.jpg" -o "$work/upright.bmp" --orient 1 || fail "decode --orient 1"
read_bmp "$work/upright.bmp"
[ "$W x $H" = "16 x 32" ] || fail "upright: size $W x $H"
near "${PIX[8 * W + 8]}" ff0000 && near "${PIX[24 * W + 8]}" 00ff00 || fail "upright: ${PIX[8 * W + 8]} above ${PIX[24 * W + 8]}"

# --- --fit: scaled down into the box, turned with the picture -----------------
printf '{"pages": [{"pictures": [{"file": "q.png", "place": [0, 0, 1, 1]}, {"file": "turned.jpg", "place": [0, 0, 1, 1]}]}]}' \
  >"$work/fit.json"
pack build "$work/fit.json" -o "$work/fit.scr" --player "$work/player.scr" --fit 16x8 || fail "build --fit 16x8"
pack extract "$work/fit.scr" "$work/fit" >/dev/null
pack decode "$work/fit/i_0_0.TMP" -o "$work/fit0.bmp" && read_bmp "$work/fit0.bmp"
[ "$W x $H" = "8 x 8" ] || fail "fit: the square is $W x $H, not 8 x 8"
# Shown 16 x 32 must fit 16 x 8: shown 4 x 8, so stored 8 x 4.
pack decode "$work/fit/i_0_1.TMP" -o "$work/fit1.bmp" && read_bmp "$work/fit1.bmp"
[ "$W x $H" = "8 x 4" ] || fail "fit: the turned picture is stored $W x $H, not 8 x 4"
out=$(pack build "$work/fit.json" -o "$work/fit2.scr" --player "$work/player.scr" --fit 16 2>&1)
[ $? = 1 ] && grep -qF "WIDTHxHEIGHT" <<<"$out" || fail "--fit 16: $out"

# --- damaged and foreign files: status 1, the file named, nothing left --------
head -c 60 "$work/q.png" >"$work/cut.png"
printf 'no picture here, only words' >"$work/words.png"
build_error() {  # name, expected message part, picture file
  local name=$1 part=$2 out rc
  printf '{"pages": [{"pictures": [{"file": "q.gif", "place": [0, 0, 1, 1]}]}, {"pictures": [{"file": "%s", "place": [0, 0, 1, 1]}]}]}' \
    "$3" >"$work/$name.json"
  out=$(pack build "$work/$name.json" -o "$work/$name.scr" --player "$work/player.scr" 2>&1)
  rc=$?
  [ $rc = 1 ] || fail "$name: status $rc"
  grep -qF "page 2 picture 1" <<<"$out" && grep -qF "$3" <<<"$out" && grep -qF -- "$part" <<<"$out" ||
    fail "$name: message '$out' lacks the page, the file or '$part'"
  [ -e "$work/$name.scr" ] || [ -e "$work/$name.scr.part" ] && fail "$name: output left behind"
}
build_error cut "a PNG picture, cut short" cut.png
build_error words "not a picture" words.png
if [ ${#runner[@]} = 0 ]; then
  [ -z "$(ls -A "$TMPDIR")" ] || fail "converted pictures left in the temp folder: $(ls "$TMPDIR")"
fi

if [ $failures != 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all picture format checks passed"
