#!/usr/bin/env bash
# End-to-end test of `vormkit-pack folder`: a folder of mixed files (pictures,
# a text file, a file named .jpg that is not a picture, damaged JPEGs, a
# folder) becomes a saver; `info` shows one page per picture in natural name
# order, each picture's place worked out here from the documented fit, the
# six effects in turn with their defaults, the captions and the music; the
# damaged files are named in warnings; a shuffle follows its seed; nothing is
# left behind. Usage: pack_folder_test.sh TOOL [RUNNER...]
set -u
tool=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pack() { "${runner[@]}" "$tool" "$@"; }
# Converted pictures go to the temp folder as vk*.TMP and must not stay. The
# native tool is given a temp folder of its own; under Wine the tool uses the
# prefix's, and TMPDIR stays as it is (Wine keeps its server's socket there,
# and a server that others cannot find would outlive the test).
[ ${#runner[@]} = 0 ] && export TMPDIR="$work/tmp"
left_in_temp() {
  local left
  left=$(ls "$work/tmp" | grep -i '^vk.*\.tmp$')
  [ -z "$left" ] || fail "left in the temp folder: $left"
}
mkdir -p "$work/tmp" "$work/pics/sub" "$work/player" "$work/music"

# The player and six plug-ins: any bytes; a plug-in's checksum is the sum of
# its bytes (all ASCII here).
printf 'MZ test player image' >"$work/player/VORMKIT.scr"
effects=(nijimu QUADRIL melt gray VELLUX diffuse)
declare -A sum
for e in "${effects[@]}"; do
  printf 'plug-in %s' "$e" >"$work/player/$e.tns"
  s=0
  for b in $(od -An -v -tu1 "$work/player/$e.tns"); do s=$((s + b)); done
  sum[$e]=$s
done

# Pictures: name and size. 1 is a BMP (converted when packed), the rest JPEG.
declare -A size=([1]=200x50 [2]=48x96 [3]=64x48 [4]=50x50 [5]=30x90 [10]=90x30 [20]=64x36)
convert -size 200x50 xc:'#0000ff' "BMP3:$work/pics/1.bmp"
for n in 2 3 4 5 10 20; do convert -size "${size[$n]}" xc:'#ff8000' -quality 90 "$work/pics/$n.jpg"; done
convert -size 64x64 plasma:fractal -seed 1 -quality 95 "$work/whole.jpg" 2>/dev/null ||
  convert -size 64x64 gradient:red-blue -quality 95 "$work/whole.jpg"
head -c $(($(stat -c %s "$work/whole.jpg") * 2 / 3)) "$work/whole.jpg" >"$work/pics/7-cut.jpg"
printf '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00garbage' >"$work/pics/8-broken.jpg"
printf 'these are notes, not a picture\n' >"$work/pics/notes.txt"
printf 'not a picture either\n' >"$work/pics/6-fake.jpg"
cp "$work/pics/2.jpg" "$work/pics/sub/9.jpg"
# Music: a WAV and a MIDI by content, and a text file that is neither.
printf 'RIFF\x24\x00\x00\x00WAVEfmt ' >"$work/music/b.wav"
printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60' >"$work/music/a.mid"
printf 'track list\n' >"$work/music/list.txt"

out=$(pack folder "$work/pics" -o "$work/Trip.scr" --player "$work/player/VORMKIT.scr" --captions \
  --music "$work/music" --time 3 2>"$work/warnings")
[ $? = 0 ] || fail "folder: status $? ($(cat "$work/warnings"))"
warnings=$(tr -d '\r' <"$work/warnings")
grep -qE "7-cut.jpg: left out: .*damaged" <<<"$warnings" || fail "no warning for the cut JPEG: $warnings"
grep -qE "8-broken.jpg: left out: .*damaged" <<<"$warnings" || fail "no warning for the broken JPEG: $warnings"
grep -qE "notes|fake|sub" <<<"$warnings" && fail "files that are not pictures were mentioned: $warnings"
[ -e "$work/Trip.scr.part" ] && fail "side file left behind"
left_in_temp

info=$(pack info "$work/Trip.scr" | tr -d '\r') || fail "info"
expect() { grep -qxF -- "$1" <<<"$info" || fail "info lacks: $1"; }
expect "pages: 7"
expect "page size: 1920 x 1080"  # the --screen the pictures were fitted for
expect "music 1: m_0_0.mid, 14 bytes"
expect "music 2: m_1_1.wav, 16 bytes"
grep -q "^music 3" <<<"$info" && fail "a text file became music"

# The fit on the default 1920 x 1080 screen with captions: a margin of
# 1080 / 36 = 30 pixels, a caption font of 13 (for a page 640 wide), that is
# 39 pixels, and half a margin above it. The box is 1860 x 966 from (30, 30).
place() {  # width height -> "l t r b" as fractions with four decimals
  awk -v pw="$1" -v ph="$2" 'BEGIN {
    bw = 1860; bh = 966
    if (pw / ph >= bw / bh) { w = bw; h = int(ph * bw / pw + 0.5) } else { h = bh; w = int(pw * bh / ph + 0.5) }
    l = 30 + int((bw - w) / 2); t = 30 + int((bh - h) / 2)
    printf "%.4f %.4f %.4f %.4f", l / 1920, t / 1080, (l + w) / 1920, (t + h) / 1080 }'
}
# Natural order, the effects in turn with their own defaults, each plug-in
# embedded with the first page that uses it.
order=(1 2 3 4 5 10 20)
defaults=("1, params 64" "10, params 128 128" "30, params 0" "20, params" "1, params 1" "50, params 0 0 0 0")
pages=$(grep -c '^page [0-9]' <<<"$info")
[ "$pages" = 7 ] || fail "$pages pages listed"
for i in "${!order[@]}"; do
  n=${order[$i]} e=${effects[$((i % 6))]} d=${defaults[$((i % 6))]}
  block=$(awk -v p="page $((i + 1)):" '$1 " " $2 == p { on = 1; print; next } /^page / { on = 0 } on' <<<"$info")
  grep -qxF "page $((i + 1)): time 3000 ms, colour #000000, background flag 1" <<<"$block" ||
    fail "page $((i + 1)) header: $block"
  words=$(grep -o "params [0-9 ]*" <<<"$block")
  zeros=$(printf ' 0%.0s' $(seq $((20 - $(wc -w <<<"${d#*params}")))))
  grep -qF "  transition: checksum ${sum[$e]}, wait ${d%%,*}, ${d#*, }$zeros" <<<"$block" ||
    fail "page $((i + 1)) should have $e with wait ${d%%,*} and ${d#*, }: $words"
  if [ "$i" -lt 6 ]; then grep -q "embedded here" <<<"$block" || fail "page $((i + 1)): $e not embedded"
  else grep -q "embedded here" <<<"$block" && fail "page $((i + 1)): $e embedded twice"; fi
  w=${size[$n]%x*} h=${size[$n]#*x}
  grep -qF "  picture 1: " <<<"$block" && grep -qF "place $(place "$w" "$h"), orientation 0, shadow 0" <<<"$block" ||
    fail "page $((i + 1)) ($n, $w x $h) should be at $(place "$w" "$h"): $(grep picture <<<"$block")"
  grep -qF "  text 1: \"$n\" at " <<<"$block" || fail "page $((i + 1)) caption should be \"$n\": $block"
done
# The BMP was converted to JPEG; the JPEGs are embedded as they are.
grep -q "picture 1: .*i_0_0.TMP$" <<<"$info" || fail "the BMP is not embedded as a converted picture"
pack extract "$work/Trip.scr" "$work/out" >/dev/null || fail "extract"
cmp -s "$work/out/i_1_0.jpg" "$work/pics/2.jpg" || fail "2.jpg not embedded byte for byte"
# The caption of page 2 ("2", one byte 39 / 2 pixels wide) is centred under
# its picture, half a margin below it.
p2=($(place 48 96))
expect_text=$(awk -v l="${p2[0]}" -v r="${p2[2]}" -v b="${p2[3]}" 'BEGIN {
  L = int(l * 1920 + 0.5); R = int(r * 1920 + 0.5); B = int(b * 1080 + 0.5)
  printf "%.4f %.4f", int((L + R - 19) / 2) / 1920, (B + 15) / 1080 }')
grep -qF "  text 1: \"2\" at $expect_text, font \"ＭＳ ゴシック\" height 13 weight 400 italic 0, colour #ffffff, fade 0" <<<"$info" ||
  fail "caption of page 2 should be at $expect_text: $(grep 'text 1: "2"' <<<"$info")"

# A shuffle follows its seed: the same seed, the same order; all pictures kept.
captions() { pack info "$1" | tr -d '\r' | sed -n 's/^  text 1: "\([0-9]*\)".*/\1/p' | tr '\n' ' '; }
for run in a b; do
  pack folder "$work/pics" -o "$work/shuffled-$run.scr" --player "$work/player/VORMKIT.scr" --captions \
    --shuffle --seed 12345 >/dev/null 2>&1 || fail "shuffle $run"
done
pack folder "$work/pics" -o "$work/shuffled-c.scr" --player "$work/player/VORMKIT.scr" --captions \
  --shuffle --seed 54321 >/dev/null 2>&1 || fail "shuffle c"
first=$(captions "$work/shuffled-a.scr")
[ "$first" = "$(captions "$work/shuffled-b.scr")" ] || fail "one seed gave two orders"
[ "$first" != "$(captions "$work/shuffled-c.scr")" ] || fail "two seeds gave the same order: $first"
[ "$(tr ' ' '\n' <<<"$first" | sort -n | xargs)" = "1 2 3 4 5 10 20" ] || fail "shuffle lost pictures: $first"

# A folder without a picture: status 1 with the reason, and no output file.
mkdir "$work/nothing"
cp "$work/pics/notes.txt" "$work/pics/6-fake.jpg" "$work/nothing/"
msg=$(pack folder "$work/nothing" -o "$work/None.scr" --player "$work/player/VORMKIT.scr" 2>&1)
[ $? = 1 ] || fail "a folder without pictures did not fail"
grep -qF "none of its 2 files is a picture" <<<"$msg" || fail "reason: $msg"
cp "$work/pics/8-broken.jpg" "$work/nothing/"
msg=$(pack folder "$work/nothing" -o "$work/None.scr" --player "$work/player/VORMKIT.scr" 2>&1)
[ $? = 1 ] && grep -qF "8-broken.jpg: left out" <<<"$msg" && grep -qF "no page is left" <<<"$msg" ||
  fail "a folder of damaged pictures: $msg"
ls "$work"/None.scr* >/dev/null 2>&1 && fail "output left behind by a failed run"
left_in_temp

if [ $failures != 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all vormkit-pack folder checks passed"
