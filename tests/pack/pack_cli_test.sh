#!/usr/bin/env bash
# End-to-end test of vormkit-pack on the README example: build a saver file,
# check that `info` reports what the manifest says, that `extract` gives the
# media back byte for byte, and that user errors exit with status 1 and leave
# no output file behind. Usage: pack_cli_test.sh TOOL EXAMPLE_DIR [RUNNER...]
set -u
tool=$1 example=$2
shift 2
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pack() { "${runner[@]}" "$tool" "$@"; }

# The player image: any bytes without the marker.
printf 'MZ test player image' >"$work/player.scr"

pack build "$example/show.json" -o "$work/Example.scr" --player "$work/player.scr" || fail "build of the example"
[ -f "$work/Example.scr" ] || fail "no saver file"
[ -e "$work/Example.scr.part" ] && fail "side file left behind"
# Player image, then the 46-byte marker, then the saver magic.
head -c 20 "$work/Example.scr" | cmp -s - "$work/player.scr" || fail "player image not first"
marker=$(dd if="$work/Example.scr" bs=1 skip=20 count=46 2>/dev/null)
[ "$marker" = "@@@@@-----boundary of saver and data-----@@@@@" ] || fail "marker: $marker"
magic=$(dd if="$work/Example.scr" bs=1 skip=66 count=13 2>/dev/null)
[ "$magic" = "VrmKtScrDat00" ] || fail "magic: $magic"

info=$(pack info "$work/Example.scr" | tr -d '\r') || fail "info"
expect() { grep -qxF -- "$1" <<<"$info" || fail "info lacks: $1"; }
expect "variant: saver"
expect "pages: 2"
expect "grid: 8"
expect "page size: not recorded (pages fill each screen)"
# --fit records the page size the places are fractions of.
pack build "$example/show.json" -o "$work/Fitted.scr" --player "$work/player.scr" --fit 1280x720 >/dev/null ||
  fail "build with --fit"
pack info "$work/Fitted.scr" | tr -d '\r' | grep -qxF "page size: 1280 x 720" || fail "--fit did not record the page size"
expect "link: https://example.jp/vormkit/"
expect "link caption: サンプル"
expect "password: none"
expect "music 1: m_0_0.mid, $(stat -c %s "$example/theme.mid") bytes"
expect "page 1: time 8000 ms, colour #000040, background flag 1"
expect "  picture 1: $(stat -c %s "$example/sunrise.jpg") bytes, place 0.1000 0.1000 0.6000 0.7000, orientation 0, shadow 1, i_0_0.jpg"
expect '  text 1: "おはようございます" at 0.1000 0.8000, font "ＭＳ Ｐゴシック" height 32 weight 700 italic 0, colour #ffffff, fade 10'
expect "  sound 1: $(stat -c %s "$example/hello.wav") bytes, s_0_0.wav"
expect "page 2: time 5000 ms, colour #ffffff, background flag 0"
expect "  picture 1: $(stat -c %s "$example/harbour.jpg") bytes, place 0.3000 0.1000 0.7000 0.9000, orientation 1, shadow 0, i_1_0.jpg"
expect '  text 1: "港" at 0.8000 0.1000, font "@ＭＳ ゴシック" height 48 weight 400 italic 0, colour #000080, fade 0'

pack extract "$work/Example.scr" "$work/out" >/dev/null || fail "extract"
for pair in m_0_0.mid:theme.mid i_0_0.jpg:sunrise.jpg s_0_0.wav:hello.wav i_1_0.jpg:harbour.jpg; do
  cmp -s "$work/out/${pair%%:*}" "$example/${pair##*:}" || fail "extracted ${pair%%:*} differs from ${pair##*:}"
done
[ "$(ls "$work/out" | wc -l)" = 4 ] || fail "extract wrote other files: $(ls "$work/out")"

# The working variant: no player, the working magic first.
pack build "$example/show.json" -o "$work/show.dat" --working || fail "build --working"
[ "$(head -c 13 "$work/show.dat")" = "VrmKtTmpDat00" ] || fail "working magic"
pack info "$work/show.dat" | tr -d '\r' | grep -qx "variant: working" || fail "info of the working variant"

# A transition plug-in: embedded once for two pages, reported by checksum.
printf 'ABC' >"$work/fx.tns"   # 65 + 66 + 67
cp "$example"/*.jpg "$example"/*.wav "$example"/*.mid "$work/"
cat >"$work/fx.json" <<'JSON'
{"pages": [{"transition": {"plugin": "fx.tns", "wait": 7, "params": [1, 2]}},
           {"transition": {"plugin": "fx.tns"}}]}
JSON
pack build "$work/fx.json" -o "$work/fx.scr" --player "$work/player.scr" || fail "build with a plug-in"
fx=$(pack info "$work/fx.scr" | tr -d '\r')
grep -qF "  transition: checksum 198, wait 7, params 1 2 0" <<<"$fx" || fail "transition line: $fx"
[ "$(grep -c 'plug-in 3 bytes embedded here' <<<"$fx")" = 1 ] || fail "plug-in not embedded exactly once"

# The six effects: what a transition leaves out is the effect's own default;
# a plug-in missing beside the manifest is taken from beside the player.
mkdir -p "$work/player"
printf 'MZ test player image' >"$work/player/VORMKIT.scr"
printf 'QUADRIL' >"$work/player/QUADRIL.tns"  # checksum 81 + 85 + 65 + 68 + 82 + 73 + 76 = 530
printf 'nijimu' >"$work/nijimu.tns"           # 110 + 105 + 106 + 105 + 109 + 117 = 652
printf 'diffuse' >"$work/diffuse.tns"
cat >"$work/effects.json" <<'JSON'
{"pages": [{"transition": {"plugin": "QUADRIL.tns"}},
           {"transition": {"plugin": "QUADRIL.tns", "params": [32]}},
           {"transition": {"plugin": "nijimu.tns", "wait": 5}}]}
JSON
pack build "$work/effects.json" -o "$work/effects.scr" --player "$work/player/VORMKIT.scr" || fail "build with defaults"
fx=$(pack info "$work/effects.scr" | tr -d '\r')
zeros() { printf ' 0%.0s' $(seq "$1"); }
grep -qxF "  transition: checksum 530, wait 10, params 128 128$(zeros 18), plug-in 7 bytes embedded here" <<<"$fx" ||
  fail "QUADRIL's defaults: $fx"
grep -qxF "  transition: checksum 530, wait 10, params 32 128$(zeros 18)" <<<"$fx" || fail "QUADRIL's height: $fx"
grep -qxF "  transition: checksum 652, wait 5, params 64$(zeros 19), plug-in 6 bytes embedded here" <<<"$fx" ||
  fail "nijimu's cell size: $fx"

# User errors: status 1, a message, no output file.
error_case() {  # name, expected message part, manifest text
  local name=$1 part=$2
  printf '%s' "$3" >"$work/$name.json"
  local out
  out=$(pack build "$work/$name.json" -o "$work/$name.scr" --player "$work/player.scr" 2>&1)
  local rc=$?
  [ $rc = 1 ] || fail "$name: status $rc"
  grep -qF -- "$part" <<<"$out" || fail "$name: message '$out' lacks '$part'"
  [ -e "$work/$name.scr" ] && fail "$name: output left behind"
  [ -e "$work/$name.scr.part" ] && fail "$name: side file left behind"
}
error_case badjson "$work/badjson.json, line 3, column 5: bad JSON" $'{\n  "pages": [\n    ,\n  ]\n}'
error_case missing "file not found" '{"pages": [{"pictures": [{"file": "nothere.jpg", "place": [0,0,1,1]}]}]}'
error_case orient "$work/orient.json, line 1, column 85: page 1 picture 1: \"orientation\" must be between 0 and 11" \
  '{"pages": [{"pictures": [{"file": "sunrise.jpg", "place": [0,0,1,1], "orientation": 12}]}]}'
error_case cp932 "line 1, column 32: page 1 text 1" '{"pages": [{"texts": [{"text": "emoji 😀", "at": [0, 0]}]}]}'
error_case cellsize "line 4, column 30: page 2 transition: nijimu word 0, the cell size, must be between 4 and 64, not 3" \
  $'{"pages": [\n  {},\n  {"transition": {"plugin": "nijimu.tns",\n                  "params": [3]}}\n]}'
error_case wait "page 1 transition: nijimu's wait must be between 1 and 101, not 0" \
  '{"pages": [{"transition": {"plugin": "nijimu.tns", "wait": 0}}]}'
error_case pattern "page 1 transition: diffuse does not use word 0" \
  '{"pages": [{"transition": {"plugin": "diffuse.tns", "params": [1]}}]}'
error_case noplugin "page 1 transition: file not found: $work/melt.tns" \
  '{"pages": [{"transition": {"plugin": "melt.tns"}}]}'
music=$(printf '"theme.mid",%.0s' $(seq 21))
error_case music "at most 20" "{\"music\": [${music%,}], \"pages\": [{}]}"
error_case nopages "at least one page" '{"pages": []}'
error_case notpicture "not a picture" '{"pages": [{"pictures": [{"file": "hello.wav", "place": [0,0,1,1]}]}]}'
out=$(pack build "$work/none.json" -o "$work/none.scr" --player "$work/player.scr" 2>&1)
[ $? = 1 ] && grep -qF "file not found" <<<"$out" || fail "missing manifest: $out"
out=$(pack info "$work/player.scr" 2>&1)
[ $? = 1 ] || fail "info of a file without a show"
# A damaged show is an error, not a partial listing.
head -c 300 "$work/Example.scr" >"$work/cut.scr"
out=$(pack info "$work/cut.scr" 2>&1)
[ $? = 1 ] && grep -qF "damaged" <<<"$out" || fail "info of a cut file: $out"

if [ $failures != 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all vormkit-pack checks passed"
