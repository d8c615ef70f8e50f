#!/usr/bin/env bash
# End-to-end test of pictures that cost more than they show, through the
# tool: the files of scripts/make-hostile-pictures go through `decode` (the
# player's decoder), `decode --embed` (what folder and build embed) and
# `folder`, and each is refused with its own reason, the two decodes giving
# the same one; a GIF frame far larger than its screen is read only where it
# lies on the screen; a JPEG's bytes after its end marker are not embedded;
# a packed DIB becomes a page; every file named or made like a picture that
# is left out gets its line. Usage: pack_hostile_test.sh TOOL [RUNNER...]
set -u
tool=$1
shift
runner=("$@")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ ${#runner[@]} = 0 ] && export TMPDIR="$work/tmp" && mkdir "$work/tmp"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pack() { "${runner[@]}" "$tool" "$@"; }
make_pictures() { python3 "$here/../../scripts/make-hostile-pictures" "$@" || fail "make-hostile-pictures $*"; }

# read_bmp FILE: sets W, H and PIX (RRGGBB, top-down) from a 24-bit BMP.
read_bmp() {
  local bytes
  mapfile -t bytes < <(od -An -v -tu1 -w1 "$1" | tr -d ' ')
  u32() { echo $((bytes[$1] | bytes[$1 + 1] << 8 | bytes[$1 + 2] << 16 | bytes[$1 + 3] << 24)); }
  local offset=$(u32 10) x y at
  W=$(u32 18) H=$(u32 22) PIX=()
  local stride=$(((W * 3 + 3) / 4 * 4))
  for ((y = 0; y < H; y++)); do
    for ((x = 0; x < W; x++)); do
      at=$((offset + (H - 1 - y) * stride + x * 3))
      PIX+=("$(printf '%02x%02x%02x' "${bytes[at + 2]}" "${bytes[at + 1]}" "${bytes[at]}")")
    done
  done
}

mkdir "$work/h"
make_pictures "$work/h" all frame.gif=20 scans.jpg=1000 big.png

# --- each refused with its reason, by both decodes ----------------------------
# refused FILE REASON: status 1, the file and the reason named, no output.
refused() {  # refused NAME REASON [--embed]
  local name=$1 reason=$2 out rc
  shift 2
  rm -f "$work/out.bmp"
  out=$(pack decode "$work/h/$name" -o "$work/out.bmp" "$@" 2>&1)
  rc=$?
  [ $rc = 1 ] || fail "$name $*: status $rc"
  grep -qF "$name: $reason" <<<"$out" || fail "$name $*: '$out' lacks '$name: $reason'"
  [ -e "$work/out.bmp" ] || [ -e "$work/out.bmp.part" ] && fail "$name $*: output left behind"
}
limit="a picture may have at most 67108864 (8192 x 8192)"
refused text41.png "a PNG picture, cut short (its tEXt chunk claims 2147483647 bytes; 0 follow)" --embed
refused flat.webp "a WebP picture, too large: 9400 x 9400 pixels; $limit" --embed
refused canvas.gif "a GIF picture, too large: 9000 x 9000 pixels; $limit" --embed
refused empty.gif "empty" --embed
refused rle.bmp "a BMP picture, too large: 9000 x 9000 pixels; $limit" --embed
refused header100.bmp "a BMP with a 100-byte header, which no known form has" --embed
refused bm2.bmp "a BMP picture, cut short" --embed
refused empty.jpg "empty (the file holds no bytes)" --embed
refused big.png "too big: 2306867200 bytes; a picture file may have at most 269484032" --embed
# The player's view and the embedded one agree on the JPEGs.
for view in "" --embed; do
  refused grey.jpg "a JPEG picture, too large: 10000 x 10000 pixels; $limit" $view
  refused colour.jpg "a JPEG picture, too large: 9000 x 9000 pixels; $limit" $view
  refused scans.jpg "a JPEG picture, too many scans: more than 100" $view
  refused empty.jpg "empty (the file holds no bytes)" $view
done
# Pictures the player cannot show as they are, said as such.
refused flat.webp "a WebP picture, which the player cannot show as it is: folder and build convert it to JPEG"
refused header100.bmp "a BMP with a 100-byte header, which the player does not read"

# --- a 65535 x 65535 frame on a 16 x 16 screen: only its top rows are read ----
# Only 20 of its rows are in the file; the 16 on the screen are colour 0, blue.
pack decode "$work/h/frame.gif" --embed -o "$work/frame.bmp" >/dev/null || fail "the big frame's GIF"
read_bmp "$work/frame.bmp"
[ "$W x $H" = "16 x 16" ] || fail "frame.gif: $W x $H"
for p in "${PIX[@]}"; do
  b=$((16#${p:4:2})) r=$((16#${p:0:2}))
  ((b >= 240 && r <= 15)) || { fail "frame.gif: a pixel is $p, not blue"; break; }
done

# --- bytes after a JPEG's end are not embedded --------------------------------
printf 'MZ test player image' >"$work/player.scr"
printf '{"pages": [{"pictures": [{"file": "h/zeros.jpg", "place": [0, 0, 1, 1]}]}]}' >"$work/zeros.json"
pack build "$work/zeros.json" -o "$work/zeros.scr" --player "$work/player.scr" || fail "build with trailing zeros"
alone=$(stat -c %s "$work/h/zeros.jpg.alone")
pack info "$work/zeros.scr" | tr -d '\r' | grep -qF "picture 1: $alone bytes," || fail "the zeros were embedded"
pack extract "$work/zeros.scr" "$work/zeros" >/dev/null || fail "extract"
cmp -s "$work/zeros/i_0_0.jpg" "$work/h/zeros.jpg.alone" || fail "the embedded JPEG is not the picture unchanged"
[ $(($(stat -c %s "$work/zeros.scr") - alone)) -lt 200000 ] || fail "the saver is larger than its picture"

# --- folder: a line for every picture-like file left out, a page for the DIB --
mkdir "$work/pics"
cp "$work/h/packed.dib" "$work/h/header100.bmp" "$work/h/bm2.bmp" "$work/h/empty.jpg" "$work/h/scans.jpg" \
  "$work/h/zeros.jpg" "$work/pics/"
printf 'a shopping list\n' >"$work/pics/list.txt"
mkdir "$work/plugins"
cp "$work/player.scr" "$work/plugins/VORMKIT.scr"
pack folder "$work/pics" -o "$work/Pics.scr" --player "$work/plugins/VORMKIT.scr" >/dev/null 2>"$work/warnings" ||
  fail "folder: $(cat "$work/warnings")"
warnings=$(tr -d '\r' <"$work/warnings")
line() { grep -qF "$1" <<<"$warnings" || fail "no warning '$1': $warnings"; }
line "header100.bmp: left out: a BMP with a 100-byte header, which no known form has"
line "bm2.bmp: left out: a BMP picture, cut short"
line "empty.jpg: left out: empty (the file holds no bytes)"
line "scans.jpg: left out: a JPEG picture, too many scans: more than 100"
line "zeros.jpg: the 1048576 bytes after the picture's end (a motion photo's video, or padding) are left out"
grep -qF "list.txt" <<<"$warnings" && fail "the text file was mentioned: $warnings"
info=$(pack info "$work/Pics.scr" | tr -d '\r')
grep -qx "pages: 2" <<<"$info" || fail "the DIB and the JPEG should make two pages: $info"
grep -q "picture 1: .*i_0_0.TMP$" <<<"$info" || fail "the packed DIB (first by name) was not converted: $info"
pack extract "$work/Pics.scr" "$work/pics-out" >/dev/null
pack decode "$work/pics-out/i_0_0.TMP" -o "$work/dib.bmp" || fail "decode of the converted DIB"
read_bmp "$work/dib.bmp"
near() {  # RRGGBB RRGGBB
  local i d
  for i in 0 2 4; do d=$((16#${1:i:2} - 16#${2:i:2})); ((d >= -16 && d <= 16)) || return 1; done
}
[ "$W x $H" = "2 x 2" ] && near "${PIX[0]}" ff0000 && near "${PIX[3]}" ffffff ||
X

if [ $failures != 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all hostile picture checks passed"
