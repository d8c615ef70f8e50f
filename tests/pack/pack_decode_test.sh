#!/usr/bin/env bash
# End-to-end test of `vormkit-pack decode` and of picture conversion in
# `build`: hand-made BMP pictures go in, the output BMP's pixels are read
# back here and compared with what the test works out itself (the quarter
# turns and mirrors by their coordinate rules, box averages, solid colours).
# Usage: pack_decode_test.sh TOOL [RUNNER...]
set -u
tool=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pack() { "${runner[@]}" "$tool" "$@"; }

le() {  # value, byte count: little-endian bytes as printf escapes
  local v=$1 n=$2 i out=""
  for ((i = 0; i < n; i++)); do out+=$(printf '\\x%02x' $(((v >> (8 * i)) & 255))); done
  printf '%s' "$out"
}

# write_bmp FILE W H PIXEL...: a 24-bit bottom-up BMP; pixels are RRGGBB hex
# values, top-down, row by row.
write_bmp() {
  local file=$1 w=$2 h=$3
  shift 3
  local pixels=("$@") stride=$(((w * 3 + 3) / 4 * 4)) body="" x y p pad
  for ((y = h - 1; y >= 0; y--)); do
    for ((x = 0; x < w; x++)); do
      p=${pixels[y * w + x]}
      body+="\\x${p:4:2}\\x${p:2:2}\\x${p:0:2}"
    done
    for ((pad = w * 3; pad < stride; pad++)); do body+='\x00'; done
  done
  printf "BM$(le $((54 + stride * h)) 4)$(le 0 4)$(le 54 4)$(le 40 4)$(le "$w" 4)$(le "$h" 4)$(le 1 2)$(le 24 2)$(le 0 4)$(le $((stride * h)) 4)$(le 0 16)$body" >"$file"
}

# read_bmp FILE: sets W, H and PIX (RRGGBB, top-down) from a 24-bit BMP.
read_bmp() {
  local bytes
  mapfile -t bytes < <(od -An -v -tu1 -w1 "$1" | tr -d ' ')
  u32() { echo $((bytes[$1] | bytes[$1 + 1] << 8 | bytes[$1 + 2] << 16 | bytes[$1 + 3] << 24)); }
  local offset bits height
  offset=$(u32 10)
  W=$(u32 18)
  height=$(u32 22)
  bits=$((bytes[28] | bytes[29] << 8))
  PIX=()
  if [ "${bytes[0]}${bytes[1]}" != 6677 ] || [ "$bits" != 24 ]; then
    W=0 H=0
    return 1
  fi
  local topdown=0
  if ((height > 2147483647)); then height=$((4294967296 - height)) topdown=1; fi
  H=$height
  local stride=$(((W * 3 + 3) / 4 * 4)) x y row at
  for ((y = 0; y < H; y++)); do
    row=$((topdown ? y : H - 1 - y))
    for ((x = 0; x < W; x++)); do
      at=$((offset + row * stride + x * 3))
      PIX+=("$(printf '%02x%02x%02x' "${bytes[at + 2]}" "${bytes[at + 1]}" "${bytes[at]}")")
    done
  done
}

# The orientation operations on an image held as IW, IH and IMG (top-down),
# each by its rule "target pixel (x, y) takes source pixel (...)".
turn() {  # op
  local op=$1 nw=$IW nh=$IH x y sx sy out=()
  case $op in rot90 | rot270) nw=$IH nh=$IW ;; esac
  for ((y = 0; y < nh; y++)); do
    for ((x = 0; x < nw; x++)); do
      case $op in
        rot90) sx=$y sy=$((IH - 1 - x)) ;;
        rot180) sx=$((IW - 1 - x)) sy=$((IH - 1 - y)) ;;
        rot270) sx=$((IW - 1 - y)) sy=$x ;;
        flipv) sx=$x sy=$((IH - 1 - y)) ;;
        fliph) sx=$((IW - 1 - x)) sy=$y ;;
      esac
      out+=("${IMG[sy * IW + sx]}")
    done
  done
  IW=$nw IH=$nh IMG=("${out[@]}")
}
# Orientation code = rotation + 4 x flip, rotation first.
ops_for_code=(
  "" "rot90" "rot180" "rot270"
  "flipv" "rot90 flipv" "fliph" "rot270 flipv"
  "fliph" "rot90 fliph" "flipv" "rot270 fliph"
)

# --- a 2 x 1 picture turned by code 1: 1 x 2, red above blue ------------------
write_bmp "$work/pair.bmp" 2 1 ff0000 0000ff
pack decode "$work/pair.bmp" -o "$work/pair1.bmp" --orient 1 || fail "decode --orient 1"
read_bmp "$work/pair1.bmp" || fail "pair1: not a 24-bit BMP"
[ "$W x $H" = "1 x 2" ] || fail "pair1: size $W x $H"
[ "${PIX[*]}" = "ff0000 0000ff" ] || fail "pair1: pixels ${PIX[*]}"
pack decode "$work/pair.bmp" -o "$work/pair3.bmp" --orient 3 || fail "decode --orient 3"
read_bmp "$work/pair3.bmp"
[ "$W x $H ${PIX[*]}" = "1 x 2 0000ff ff0000" ] || fail "pair3: $W x $H ${PIX[*]}"
[ -e "$work/pair1.bmp.part" ] && fail "side file left behind"

# --- a 3 x 2 picture of six colours under every code --------------------------
six=(112233 445566 778899 aabbcc ddeeff 102030)
write_bmp "$work/six.bmp" 3 2 "${six[@]}"
for code in $(seq 0 11); do
  IW=3 IH=2 IMG=("${six[@]}")
  for op in ${ops_for_code[code]}; do turn "$op"; done
  pack decode "$work/six.bmp" -o "$work/six$code.bmp" --orient "$code" || {
    fail "decode --orient $code"
    continue
  }
  read_bmp "$work/six$code.bmp"
  [ "$W x $H" = "$IW x $IH" ] || fail "code $code: size $W x $H, expected $IW x $IH"
  [ "${PIX[*]}" = "${IMG[*]}" ] || fail "code $code: pixels ${PIX[*]}, expected ${IMG[*]}"
done
# Without --orient the picture comes out as it went in.
pack decode "$work/six.bmp" -o "$work/plain.bmp" || fail "decode without options"
read_bmp "$work/plain.bmp"
[ "$W x $H ${PIX[*]}" = "3 x 2 ${six[*]}" ] || fail "plain: $W x $H ${PIX[*]}"

# --- scaling: box average, then the orientation -------------------------------
# 8 x 8: left half white, right half black; to 2 x 2 each target pixel is the
# average of a 4 x 4 block, so white on the left, black on the right.
halves=()
for ((y = 0; y < 8; y++)); do for ((x = 0; x < 8; x++)); do
  if ((x < 4)); then halves+=(ffffff); else halves+=(000000); fi
done; done
write_bmp "$work/halves.bmp" 8 8 "${halves[@]}"
pack decode "$work/halves.bmp" -o "$work/halves2.bmp" --size 2x2 || fail "decode --size 2x2"
read_bmp "$work/halves2.bmp"
[ "$W x $H ${PIX[*]}" = "2 x 2 ffffff 000000 ffffff 000000" ] || fail "halves 2x2: $W x $H ${PIX[*]}"
# Scaled to 2 x 1 first, then turned clockwise: 1 x 2 with white on top.
pack decode "$work/halves.bmp" -o "$work/halves21.bmp" --size 2x1 --orient 1 || fail "decode --size 2x1 --orient 1"
read_bmp "$work/halves21.bmp"
[ "$W x $H ${PIX[*]}" = "1 x 2 ffffff 000000" ] || fail "halves 2x1 code 1: $W x $H ${PIX[*]}"
# A solid picture enlarged stays solid.
write_bmp "$work/solid.bmp" 2 2 3c78b4 3c78b4 3c78b4 3c78b4
pack decode "$work/solid.bmp" -o "$work/solid46.bmp" --size 4x6 || fail "decode --size 4x6"
read_bmp "$work/solid46.bmp"
[ "$W x $H" = "4 x 6" ] || fail "solid: size $W x $H"
[ "$(printf '%s\n' "${PIX[@]}" | sort -u)" = 3c78b4 ] || fail "solid: pixels ${PIX[*]}"

# --- a BMP in a show is embedded as JPEG; decoding it gives the colour back ---
flat=()
for ((i = 0; i < 256; i++)); do flat+=(c86432); done
write_bmp "$work/flat.bmp" 16 16 "${flat[@]}"
printf 'MZ test player image' >"$work/player.scr"
printf '{"quality": 90, "pages": [{"pictures": [{"file": "flat.bmp", "place": [0, 0, 1, 1]}]}]}' >"$work/flat.json"
pack build "$work/flat.json" -o "$work/flat.scr" --player "$work/player.scr" || fail "build with a BMP picture"
pack extract "$work/flat.scr" "$work/flat" >/dev/null || fail "extract of the converted picture"
[ -f "$work/flat/i_0_0.TMP" ] || fail "no i_0_0.TMP: $(ls "$work/flat")"
[ "$(od -An -tx1 -N3 "$work/flat/i_0_0.TMP" | tr -d ' ')" = ffd8ff ] || fail "the embedded picture is not JPEG"
pack decode "$work/flat/i_0_0.TMP" -o "$work/flat.out.bmp" || fail "decode of the embedded JPEG"
read_bmp "$work/flat.out.bmp"
[ "$W x $H" = "16 x 16" ] || fail "converted: size $W x $H"
near=1
for p in "${PIX[@]}"; do
  r=$((16#${p:0:2})) g=$((16#${p:2:2})) b=$((16#${p:4:2}))
  ((r >= 196 && r <= 204 && g >= 96 && g <= 104 && b >= 46 && b <= 54)) || near=0
done
[ $near = 1 ] || fail "converted: pixels not near c86432: ${PIX[*]:0:4}"

# --- pictures the player cannot show, and bad options: status 1, no output ----
printf 'just text, no picture' >"$work/text.bmp"
decode_error() {  # name, expected message part, arguments...
  local name=$1 part=$2
  shift 2
  rm -f "$work/$name.bmp"
  local out rc
  out=$(pack decode "$@" -o "$work/$name.bmp" 2>&1)
  rc=$?
  [ $rc = 1 ] || fail "$name: status $rc"
  grep -qF -- "$part" <<<"$out" || fail "$name: message '$out' lacks '$part'"
  [ -e "$work/$name.bmp" ] && fail "$name: output left behind"
  [ -e "$work/$name.bmp.part" ] && fail "$name: side file left behind"
}
decode_error notpicture "not a picture the player can show" "$work/text.bmp"
decode_error missing "file not found" "$work/none.bmp"
decode_error orient12 "between 0 and 11" "$work/pair.bmp" --orient 12
decode_error orientneg "between 0 and 11" "$work/pair.bmp" --orient -1
decode_error size0 "WIDTHxHEIGHT" "$work/pair.bmp" --size 0x5
decode_error sizebad "WIDTHxHEIGHT" "$work/pair.bmp" --size 12
out=$(pack decode "$work/pair.bmp" 2>&1)
[ $? = 1 ] && grep -qF "decode needs a picture and -o" <<<"$out" || fail "decode without -o: $out"

if [ $failures != 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all decode checks passed"
