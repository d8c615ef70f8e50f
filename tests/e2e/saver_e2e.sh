#!/usr/bin/env bash
# End-to-end tests of a real saver file under Wine on an X display: a show is
# packed with vormkit-pack onto the player, started as Windows would start
# it, looked at (screenshots), driven (keys, clicks, the settings dialog)
# and checked for what it leaves in the temp folder.
# Usage: saver_e2e.sh CASE   (env: VK_SRC, VK_BIN, VK_PACK)
set -u
case_name=$1
src=${VK_SRC:?} bin=${VK_BIN:?} pack=${VK_PACK:?}
export WINEPREFIX=${VK_WINEPREFIX:-$src/build/wineprefix}
run="$src/scripts/wine-run"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
work=$(mktemp -d /tmp/vk-e2e.XXXXXX)
source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

wait_temp_clean() { for _ in $(seq "$1"); do [ "$(temp_listing)" = "$before" ] && return 0; sleep 0.1; done; return 1; }
# Keys go to the focused window; the test display has no window manager to give it.
press() {  # press WINDOW-NAME KEY
  local id; id=$(window_id "$1")
  [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null
  xdotool key --clearmodifiers "$2" 2>/dev/null
}
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }
# Waits until the screen's top-left corner shows r g b (in tenths of a second); leaves the screenshot in shot.png.
wait_corner() {  # wait_corner r g b tenths
  for _ in $(seq "$4"); do
    import -window root "$work/shot.png" 2>/dev/null && near "$(pixel "$work/shot.png" 5 5)" "$1" "$2" "$3" 0 && return 0
    sleep 0.1
  done
  return 1
}
near() {  # near "r g b" r g b tolerance
  local got=($1) want=($2 $3 $4) tol=$5 d
  for i in 0 1 2; do d=$(( got[i] - want[i] )); d=${d#-}; [ "$d" -le "$tol" ] || return 1; done
}

# The test show: page 1 blue with a green picture in the middle, page 2 red.
make_show() {  # make_show OUT [link]
  convert -size 64x64 xc:'#20c040' -quality 100 "$work/green.jpg"
  convert -size 64x64 xc:'#f0e020' -quality 100 "$work/yellow.jpg"
  local link=''
  [ "${2:-}" = link ] && link='"link": {"address": "https://example.jp/e2e/", "caption": "E2E"},'
  cat > "$work/show.json" <<JSON
{ $link
  "pages": [
    {"time": 60000, "background": "#2040c0",
     "pictures": [{"file": "green.jpg", "place": [0.25, 0.25, 0.75, 0.75]}]},
    {"time": 3000, "background": "#c04020",
     "pictures": [{"file": "yellow.jpg", "place": [0.4, 0.4, 0.6, 0.6]}]}
  ]
}
JSON
  "$pack" build "$work/show.json" -o "$1" --player "$bin/VORMKIT.scr" >/dev/null
}

start_saver() {  # start_saver FILE ARGS...
  local file=$1; shift
  (cd "$(dirname "$file")" && exec "$run" "$(winpath "$file")" "$@") >/dev/null 2>&1 &
  pids+=($!)
  last_pid=$!
}

before=$(temp_listing)
case "$case_name" in
  fullscreen)
    make_show "$work/Test.scr"
    start_saver "$work/Test.scr" /s
    check "the full-screen window appears" wait_window '^Screen Saver$' 300
    # The first page is painted once the first second (whose input is
    # swallowed: a Windows test checks that on a stepped clock) is over.
    check "page 1 background at the corner" wait_corner 32 64 192 300
    check "the show is still running" alive "$last_pid"
    read -r w h < <(identify -format '%w %h' "$work/shot.png")
    check "page 1 picture in the middle" near "$(pixel "$work/shot.png" $((w / 2)) $((h / 2)))" 32 192 64 12
    press '^Screen Saver$' b
    check "a key press ends the show" wait_gone "$last_pid" 150
    check "nothing of the run is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  second-instance)
    make_show "$work/Test.scr"
    start_saver "$work/Test.scr" /s
    first=$last_pid
    check "the first instance shows its window" wait_window '^Screen Saver$' 300
    start_saver "$work/Test.scr" /s
    check "a second /s brings the first forward and exits" wait_gone "$last_pid" 150
    check "the first instance keeps running" alive "$first"
    check "the first instance shows page 1" wait_corner 32 64 192 300
    press '^Screen Saver$' Escape
    check "the first instance ends on a key" wait_gone "$first" 150
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  no-data)
    cp "$bin/VORMKIT.scr" "$work/Plain.scr"
    start_saver "$work/Plain.scr" /s
    check "a saver without a show exits at once" wait_gone "$last_pid" 150
    check "it shows no message" test -z "$(window_id 'エラー')"
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  damaged)
    make_show "$work/Good.scr"
    size=$(stat -c %s "$work/Good.scr")
    head -c $((size - 700)) "$work/Good.scr" > "$work/Damaged.scr"
    start_saver "$work/Damaged.scr" /s
    check "a damaged show shows the error box" wait_window 'エラー' 300
    press 'エラー' Return
    check "the saver exits after the box" wait_gone "$last_pid" 150
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  no-room)
    # No room for the show in the temp folder: a file-size limit cuts the
    # saver's writes off part way, as a full disk would. Wine's server must
    # not run under the limit (it writes the registry), so it starts first.
    convert -size 800x800 -seed 7 plasma: +noise Gaussian -quality 95 "$work/noise.jpg"
    printf '{"pages": [{"time": 60000, "pictures": [{"file": "noise.jpg", "place": [0, 0, 1, 1]}]}]}' > "$work/show.json"
    "$pack" build "$work/show.json" -o "$work/Full.scr" --player "$bin/VORMKIT.scr" >/dev/null
    show_kb=$(( ($(stat -c %s "$work/Full.scr") - $(stat -c %s "$bin/VORMKIT.scr")) / 1024 ))
    "$run" cmd /c exit >/dev/null 2>&1
    (ulimit -f $((show_kb / 2)); trap '' XFSZ; cd "$work" && exec "$run" "$(winpath "$work/Full.scr")" /s) \
      >/dev/null 2>&1 &
    pids+=($!)
    last_pid=$!
    out=$("$run" "$bin/saver_driver.exe" errorbox 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r')
    echo "$out"
    check "the write-failure box names the show temp file" \
      grep -qE '^box: C:\\.*\\[0-9_]+\.TMP の保存に失敗しました。$' <<< "$out"
    check "the saver exits after the box" wait_gone "$last_pid" 150
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  preview)
    make_show "$work/Test.scr" link
    driver=$(winpath "$bin/saver_driver.exe")
    "$run" reg add 'HKCR\.htm' /ve /d vke2e.htm /f >/dev/null 2>&1
    "$run" reg add 'HKCR\vke2e.htm\shell\open\command' /ve /d "\"$driver\" \"%1\"" /f >/dev/null 2>&1
    export VORMKIT_LINK_LOG="$(winpath "$work/link.log")"
    out=$("$run" "$bin/saver_driver.exe" preview "$(winpath "$work/Test.scr")" "$(winpath "$work/link.log")" 2>/dev/null)
    echo "$out"
    check "the preview driver's checks pass" test -z "$(echo "$out" | grep FAIL)" -a -n "$out"
    check "the link address reached the browser" grep -q 'https://example.jp/e2e/' "$work/link.log"
    "$run" reg delete 'HKCR\vke2e.htm' /f >/dev/null 2>&1
    "$run" reg delete 'HKCR\.htm' /f >/dev/null 2>&1
    check "nothing is left in the temp folder" wait_temp_clean 100
    ;;
  config)
    # Settings are kept per file name: fresh names for every run.
    one="$work/One$$.scr" two="$work/Two$$.scr"
    make_show "$one" link
    make_show "$two"
    out=$("$run" "$bin/saver_driver.exe" config "$(winpath "$one")" 2>/dev/null); echo "$out"
    check "all four boxes start checked" grep -q 'boxes: 5830=1 5831=1 5832=1 5835=1' <<< "$out"
    check "the link button carries the caption" grep -q 'E2E ' <<< "$out"
    out=$("$run" "$bin/saver_driver.exe" config "$(winpath "$one")" uncheck 5831,5832 2>/dev/null); echo "$out"
    check "OK writes the switches" grep -q '^setting: 0110' <<< "$out"
    out=$("$run" "$bin/saver_driver.exe" config "$(winpath "$one")" uncheck 5830 cancel 2>/dev/null); echo "$out"
    check "the dialog shows the stored switches" grep -q 'boxes: 5830=1 5831=0 5832=0 5835=1' <<< "$out"
    check "Cancel leaves the value unchanged" grep -q '^setting: 0110' <<< "$out"
    out=$("$run" "$bin/saver_driver.exe" config "$(winpath "$two")" 2>/dev/null); echo "$out"
    check "another saver file keeps its own settings" grep -q 'boxes: 5830=1 5831=1 5832=1 5835=1' <<< "$out"
    check "without a link the link button is hidden" grep -q '^link: 0x0' <<< "$out"
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  demo)
    # The demo show, made and packed as `make demo` does, played headless for
    # one round: every page must appear, in order, and nothing may be left.
    bash "$src/scripts/make-demo-show" "$work/media" "$bin" >/dev/null
    "$pack" build "$work/media/show.json" -o "$work/Demo.scr" --player "$bin/VORMKIT.scr" >/dev/null
    out=$(bash "$src/scripts/demo-record" "$work" "$work/Demo.scr" "$work/media/show.json" 2>&1); status=$?
    echo "$out"
    check "every page of the demo appeared in order" grep -q ' 6 of 6 pages seen' <<< "$out"
    check "the recording found nothing wrong" test $status = 0
    check "nothing is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  folder)
    # A saver made from a folder. Its one picture is a phone-style JPEG: stored
    # 128 x 64 (red left half, green right half) with an EXIF orientation that
    # says "turn a quarter clockwise" (6), so upright it is a 64 x 128
    # portrait, red above green. Fitted for this 1024 x 768 screen with the
    # documented margin of 768 / 36 = 21 pixels, it comes in through nijimu
    # with its defaults; the text file named .jpg is left out.
    mkdir "$work/pics"
    convert -size 64x64 xc:'#e02020' -size 64x64 xc:'#20c040' +append -quality 100 "$work/wide.jpg"
    app1='\xff\xe1\x00\x22Exif\x00\x00II\x2a\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
    { head -c 2 "$work/wide.jpg"; printf "$app1"; tail -c +3 "$work/wide.jpg"; } >"$work/pics/1.jpg"
    printf 'not a picture\n' >"$work/pics/2.jpg"
    "$pack" folder "$work/pics" -o "$work/Folder.scr" --player "$bin/VORMKIT.scr" --screen 1024x768 \
      --time 60 --background '#2040c0' >/dev/null
    check "the folder became a saver" test -f "$work/Folder.scr"
    start_saver "$work/Folder.scr" /s
    check "the full-screen window appears" wait_window '^Screen Saver$' 300
    # The box is 982 x 726 from (21, 21); the portrait as high as the box:
    # 363 x 726, from x 330 to 693 and y 21 to 747, red down to y 384.
    left=$((21 + (982 - 363) / 2)) right=$((21 + (982 - 363) / 2 + 363))
    points=("$((left - 6)) 200 32 64 192 0" "$((left + 6)) 200 224 32 32 12" "$((right - 6)) 570 32 192 64 12"
            "$((right + 6)) 570 32 64 192 0" "512 $((21 - 6)) 32 64 192 0" "512 $((21 + 6)) 224 32 32 12"
            "512 $((747 - 6)) 32 192 64 12" "512 $((747 + 6)) 32 64 192 0")
    names=("the background left of the picture" "red at the picture's top left" "green at its bottom right"
           "the background right of the picture" "the top margin" "red below the top margin"
           "green above the bottom margin" "the bottom margin")
    fitted() {  # the last screenshot shows every point in its colour
      local p
      for p in "${points[@]}"; do set -- $p; near "$(pixel "$work/shot.png" "$1" "$2")" "$3" "$4" "$5" "$6" || return 1; done
    }
    # Wait for the page (after the swallowed first second and the effect).
    for _ in $(seq 150); do import -window root "$work/shot.png" 2>/dev/null && fitted && break; sleep 0.2; done
    read -r w h < <(identify -format '%w %h' "$work/shot.png")
    check "the test display is 1024 x 768" test "$w x $h" = "1024 x 768"
    for i in "${!points[@]}"; do
      set -- ${points[$i]}
      check "${names[$i]}" near "$(pixel "$work/shot.png" "$1" "$2")" "$3" "$4" "$5" "$6"
    done
    press '^Screen Saver$' Escape
    check "a key press ends the show" wait_gone "$last_pid" 150
    check "nothing of the run is left in the temp folder" wait_temp_clean 100
    ;;
  many-scans)
    # A page whose picture is a flat grey progressive JPEG of 8000 x 8000 made
    # of 10,100 scans, after a page shown for a millisecond: the player
    # refuses the picture at its 101st scan, so its page plays without it
    # (no box), and a key or a mouse movement while the player decodes it
    # ends the saver at once. The tool would not embed such a picture, so
    # the show is packed with a placeholder JPEG of the same length, whose
    # bytes in the saver file are then replaced.
    python3 "$src/scripts/make-hostile-pictures" "$work" scans.jpg
    convert -size 16x16 xc:'#808080' -quality 90 "$work/small.jpg"
    python3 - "$work/small.jpg" "$work/scans.jpg" "$work/placeholder.jpg" <<'PY'
import sys
small, target = open(sys.argv[1], 'rb').read(), len(open(sys.argv[2], 'rb').read())
pad, out = target - len(small), bytearray(small[:2])
while pad:  # comment segments of at most 65535 bytes, 4 of them marker and length
    take = min(pad, 65535 + 2)
    if pad - take in (1, 2, 3):
        take -= 4
    out += b'\xff\xfe' + (take - 2).to_bytes(2, 'big') + bytes(take - 4)
    pad -= take
out += small[2:]
assert len(out) == target
open(sys.argv[3], 'wb').write(out)
PY
    convert -size 64x64 xc:'#20c040' -quality 100 "$work/green.jpg"
    cat > "$work/show.json" <<JSON
{"pages": [
  {"time": 1, "background": "#2040c0", "pictures": [{"file": "green.jpg", "place": [0.25, 0.25, 0.75, 0.75]}]},
  {"time": 2000, "background": "#c04020", "pictures": [{"file": "placeholder.jpg", "place": [0.25, 0.25, 0.75, 0.75]}]}
]}
JSON
    "$pack" build "$work/show.json" -o "$work/Scans.scr" --player "$bin/VORMKIT.scr" >/dev/null
    python3 - "$work/Scans.scr" "$work/placeholder.jpg" "$work/scans.jpg" <<'PY'
import sys
saver = bytearray(open(sys.argv[1], 'rb').read())
old, new = open(sys.argv[2], 'rb').read(), open(sys.argv[3], 'rb').read()
at = saver.find(old)
assert at > 0 and saver.find(old, at + 1) < 0
saver[at:at + len(old)] = new
open(sys.argv[1], 'wb').write(saver)
PY
    check "the saver carries the 10,100-scan picture" test "$(stat -c %s "$work/Scans.scr")" -gt 1000000
    for input in key mouse; do
      start_saver "$work/Scans.scr" /s
      check "the full-screen window appears ($input)" wait_window '^Screen Saver$' 300
      # Page 2 without its picture: its colour in the middle too.
      check "the page of the refused picture plays ($input)" wait_corner 192 64 32 300
      read -r w h < <(identify -format '%w %h' "$work/shot.png")
      check "no picture and no box where it would be ($input)" near "$(pixel "$work/shot.png" $((w / 2)) $((h / 2)))" 192 64 32 12
      # Page 1 again: the player is decoding page 2's picture behind it.
      check "page 1 again while page 2 is prepared ($input)" wait_corner 32 64 192 300
      if [ $input = key ]; then
        press '^Screen Saver$' b
      else
        # The saver ends on a movement beyond its threshold from the first
        # position it saw, so the pointer goes to three places in turn.
        id=$(window_id '^Screen Saver$')
        for at in 100 300 500; do xdotool mousemove --window "$id" $at $at 2>/dev/null; sleep 0.2; done
      fi
      check "the $input ends the saver while it decodes" wait_gone "$last_pid" 100
      check "nothing of the run is left in the temp folder ($input)" wait_temp_clean 100
    done
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
