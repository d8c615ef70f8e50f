#!/usr/bin/env bash
# End-to-end tests of a show that records its page size, on screens of other
# shapes and on several monitors: the real saver under Wine, on an X display
# of the test's own (a nested Xephyr with Xinerama and without RandR, from
# which Wine takes its monitors). Each picture's rectangle on screen and the
# margins' colour are checked against values computed here from the page size
# and the monitor rectangles; the page change is watched on every monitor at
# once; a key ends the show on all of them and the temp folder is left empty.
# Usage: screens_e2e.sh CASE   (single | two | left; env: VK_SRC, VK_BIN, VK_PACK)
set -u
case_name=$1
src=${VK_SRC:?} bin=${VK_BIN:?} pack=${VK_PACK:?}
export WINEPREFIX=${VK_WINEPREFIX:-$src/build/wineprefix}
run="$src/scripts/wine-run"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
work=$(mktemp -d /tmp/vk-screens.XXXXXX)
servers=()
# The saver, Wine and the test's own X servers stop with the run.
e2e_cleanup() {
  [ -n "${saver:-}" ] && kill "$saver" 2>/dev/null
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  for s in "${servers[@]}"; do kill "$s" 2>/dev/null; done
}
source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

free_display() { for n in $(seq 150 199); do [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return; }; done; }
wait_display() { for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$1" ] && return 0; sleep 0.1; done; return 1; }
# A display of the given monitors, "WxH+X+Y" each, the first the primary.
start_display() {
  local host screens=() m w h x y
  host=$(free_display)
  Xvfb ":$host" -screen 0 4200x2400x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  servers+=($!)
  wait_display "$host" || return 1
  for m in "$@"; do
    w=${m%%x*}; m=${m#*x}; h=${m%%+*}; m=${m#*+}; x=${m%%+*}; y=${m#*+}
    screens+=(-origin "$x,$y" -screen "${w}x${h}")  # an origin places the screen after it
  done
  local nested; nested=$(free_display)
  DISPLAY=":$host" Xephyr ":$nested" +xinerama -extension RANDR "${screens[@]}" -nolisten tcp >/dev/null 2>&1 </dev/null &
  servers+=($!)
  wait_display "$nested" || return 1
  export DISPLAY=":$nested"
}

pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }
near() {  # near "r g b" r g b tolerance
  local got=($1) want=($2 $3 $4) tol=$5 d
  for i in 0 1 2; do d=$(( got[i] - want[i] )); d=${d#-}; [ "$d" -le "$tol" ] || return 1; done
}
# The bounding box "W H X Y" of the red pixels inside a region of a screenshot.
red_box() {  # red_box SHOT W H X Y
  convert "$1" -crop "$2x$3+$4+$5" +repage -fuzz 12% -fill black +opaque '#e02020' -fill white -opaque '#e02020' \
    -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+'
}

# The page rectangle and the picture's rectangle, by the rule the player
# follows: the largest rectangle of the page's shape, centred, then the place
# as fractions of it, truncated.
PW=1600 PH=900
page_rect() {  # page_rect SW SH -> "W H X Y" relative to the monitor
  local sw=$1 sh=$2 w h
  if (( PW * sh >= PH * sw )); then w=$sw; h=$(( (sw * PH + PW / 2) / PW )); else h=$sh; w=$(( (sh * PW + PH / 2) / PH )); fi
  echo "$w $h $(( (sw - w) / 2 )) $(( (sh - h) / 2 ))"
}
picture_box() {  # the place [0.25, 0.25, 0.75, 0.75] in a monitor -> "W H X Y" relative to it
  local r=($(page_rect "$1" "$2"))
  local left=$(( r[0] / 4 )) top=$(( r[1] / 4 )) right=$(( r[0] * 3 / 4 )) bottom=$(( r[1] * 3 / 4 ))
  echo "$(( right - left )) $(( bottom - top )) $(( r[2] + left )) $(( r[3] + top ))"
}

# Page 1: blue margins and a red picture in the middle of a 16:9 page;
# page 2: a yellow page brought in by a slow cross-fade.
convert -size 64x48 xc:'#e02020' -quality 100 "$work/red.jpg"
convert -size 64x64 xc:'#f0e020' -quality 100 "$work/yellow.jpg"
cat > "$work/show.json" <<JSON
{ "screen": [$PW, $PH],
  "pages": [
    {"time": 3000, "background": "#2040c0",
     "pictures": [{"file": "red.jpg", "place": [0.25, 0.25, 0.75, 0.75]}]},
    {"time": 60000, "background": "#104010",
     "pictures": [{"file": "yellow.jpg", "place": [0, 0, 1, 1]}],
     "transition": {"plugin": "QUADRIL.tns", "wait": 101, "params": [8000, 8000]}}
  ]
}
JSON
"$pack" build "$work/show.json" -o "$work/Screens.scr" --player "$bin/VORMKIT.scr" >/dev/null || { fail "pack"; exit; }

# Monitors as they lie on the X screen: "W H X Y" each (X screen coordinates).
case "$case_name" in
  single) monitors=("1024 768 0 0"); start_display 1024x768+0+0 ;;
  two) monitors=("1280 1024 0 0" "1920 1080 1280 0"); start_display 1280x1024+0+0 1920x1080+1280+0 ;;
  # The primary at the right: Windows gives the other monitor negative coordinates.
  left) monitors=("1280 1024 1920 0" "1920 1200 0 0"); start_display 1280x1024+1920+0 1920x1200+0+0 ;;
  *) fail "unknown case $case_name"; exit ;;
esac
[ -n "${DISPLAY:-}" ] || { fail "no display"; exit; }

# A Wine server left running by an earlier test serves the display it was
# started on: this test's programs start a server on their own display.
/usr/lib/wine/wineserver -k >/dev/null 2>&1
/usr/lib/wine/wineserver -w >/dev/null 2>&1
before=$(temp_listing)
(cd "$work" && exec "$run" "$(winpath "$work/Screens.scr")" /s) >/dev/null 2>&1 &
saver=$!

# Page 1 on every monitor: the picture where the rule puts it, the margins blue.
shown_everywhere() {
  import -window root "$work/shot.png" 2>/dev/null || return 1
  local m
  for m in "${monitors[@]}"; do
    local g=($m) box
    box=$(red_box "$work/shot.png" ${g[0]} ${g[1]} ${g[2]} ${g[3]})
    [ "$box" = "$(picture_box ${g[0]} ${g[1]})" ] || return 1
  done
}
for _ in $(seq 400); do shown_everywhere && break; sleep 0.1; done
[ -n "${VK_KEEP_SHOTS:-}" ] && cp "$work/shot.png" "$VK_KEEP_SHOTS"
for m in "${monitors[@]}"; do
  g=($m)
  want=$(picture_box ${g[0]} ${g[1]})
  got=$(red_box "$work/shot.png" ${g[0]} ${g[1]} ${g[2]} ${g[3]})
  check "the picture on the ${g[0]} x ${g[1]} monitor at $want (got $got)" [ "$got" = "$want" ]
  r=($(page_rect ${g[0]} ${g[1]}))
  if (( r[3] > 0 )); then mx=$(( g[2] + g[0] / 2 )) my=$(( g[3] + r[3] / 2 )); else mx=$(( g[2] + r[2] / 2 )) my=$(( g[3] + g[1] / 2 )); fi
  if (( r[2] > 0 || r[3] > 0 )); then
    check "the margin of the ${g[0]} x ${g[1]} monitor shows the page colour" near "$(pixel "$work/shot.png" $mx $my)" 32 64 192 6
  fi
done

# The cross-fade runs on every monitor at the same time: one screenshot shows
# each monitor's centre between the old red and the new yellow.
between() { ! near "$1" 224 31 32 12 && ! near "$1" 240 224 32 12 && ! near "$1" 0 0 0 12; }
both_changing() {
  import -window root "$work/change.png" 2>/dev/null || return 1
  local m
  for m in "${monitors[@]}"; do
    local g=($m)
    between "$(pixel "$work/change.png" $(( g[2] + g[0] / 2 )) $(( g[3] + g[1] / 2 )))" || return 1
  done
}
seen=0
for _ in $(seq 200); do both_changing && { seen=1; break; }; sleep 0.05; done
check "the page change is under way on every monitor at once" [ $seen = 1 ]

# A key during the change ends the show on every monitor.
xdotool key --clearmodifiers space 2>/dev/null
gone=0
for _ in $(seq 150); do kill -0 "$saver" 2>/dev/null || { gone=1; break; }; sleep 0.1; done
check "a key ends the show" [ $gone = 1 ]
clean=0
for _ in $(seq 50); do [ "$(temp_listing)" = "$before" ] && { clean=1; break; }; sleep 0.1; done
check "nothing is left in the temp folder" [ $clean = 1 ]
