# What the editor's end-to-end scripts share beyond e2e_lib.sh: the run's
# folders, the X helpers for keys, the clipboard, screenshots and colour
# boxes read with ImageMagick, and starting the editor. Sourced after
# case_name is set; needs VK_SRC, VK_BIN, VK_PACK and DISPLAY.
src=${VK_SRC:?} bin=${VK_BIN:?} pack=${VK_PACK:?}
export WINEPREFIX=${VK_WINEPREFIX:-$src/build/wineprefix}
run="$src/scripts/wine-run"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
work=$(mktemp -d /tmp/vk-editor-e2e.XXXXXX)
source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

focus() { local id; id=$(window_id "$1"); [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null; sleep 0.2; }
keys() { focus "$1"; shift; for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done; }
typein() { focus "$1"; xdotool type --delay 30 "$2"; sleep 0.2; }
shot() { import -window root "$work/shot.png" 2>/dev/null; }
# Puts text on the X clipboard: xclip serves it in the foreground until the next one.
clip() {
  [ -n "${clip_pid:-}" ] && kill "$clip_pid" 2>/dev/null
  printf '%s' "$1" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  clip_pid=$!
  pids+=($clip_pid)
  sleep 0.3
}
wait_file() { for _ in $(seq "$2"); do [ -s "$1" ] && return 0; sleep 0.1; done; return 1; }
editor_title='VORMKIT エディター$'

# The bounding box "x y w h" of the pixels of one colour (within 6 %) in the
# screenshot, inside the area "x y w h" when given; empty when there are none.
bbox() {  # bbox COLOUR [x y w h]
  local crop="" ox=0 oy=0
  if [ $# -ge 5 ]; then crop="-crop ${4}x${5}+${2}+${3} +repage"; ox=$2; oy=$3; fi
  local g
  g=$(convert "$work/shot.png" $crop -fuzz ${fuzz:-6}% -fill "#ff00fe" -opaque "$1" -fill black +opaque '#ff00fe' \
        -fill white -opaque '#ff00fe' -bordercolor black -border 1 -format '%@' info: 2>/dev/null)
  [ -n "$g" ] || return 0
  local w h x y
  IFS='x+' read -r w h x y <<< "$g"
  [ "$w" -gt 1 ] || [ "$h" -gt 1 ] || return 0
  echo "$((x - 1 + ox)) $((y - 1 + oy)) $w $h"
}
# The canvas' page rectangle: the non-grey area inside the canvas' grey.
page_rect() {
  local g; g=$(fuzz=0 bbox "#808080")
  [ -n "$g" ] || return 0
  local gx gy gw gh; read -r gx gy gw gh <<< "$g"
  local p
  p=$(convert "$work/shot.png" -crop "${gw}x${gh}+${gx}+${gy}" +repage -fuzz 2% -fill white -opaque '#808080' \
        -fill black +opaque white -format '%@' info: 2>/dev/null)
  local w h x y; IFS='x+' read -r w h x y <<< "$p"
  echo "$((x + gx)) $((y + gy)) $w $h"
}
near() {  # near "a b c d" "e f g h" tolerance
  local a=($1) b=($2) d
  [ ${#a[@]} = ${#b[@]} ] || return 1
  for i in "${!a[@]}"; do d=$(( a[i] - b[i] )); d=${d#-}; [ "$d" -le "$3" ] || return 1; done
}
wait_bbox() {  # wait_bbox COLOUR "x y w h" tolerance tenths [area]: until the colour's box is there
  local want=$2 tol=$3 n=$4; shift 4
  for _ in $(seq "$n"); do
    shot; got=$(bbox '#e02020' "$@"); near "$got" "$want" "$tol" && return 0; sleep 0.1
  done
  echo "  the box is \"$got\", expected \"$want\""
  return 1
}

start_editor() {  # start_editor [FILE]: the editor from its build folder
  local args=()
  [ $# -gt 0 ] && args=("$(winpath "$1")")
  (cd "$work" && exec "$run" "$bin/vormkit-editor.exe" "${args[@]}") >/dev/null 2>&1 &
  pids+=($!)
  editor_pid=$!
}

# The editor's recovery files (autosaves) of this prefix; none at the start.
recovery="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VORMKIT/Recovery"
rm -rf "$recovery"
recovery_listing() { ls -A "$recovery" 2>/dev/null | grep '\.vkshow$' | sort; }
# The text of the next error box (saver_driver presses its OK button).
error_text() { "$run" "$bin/saver_driver.exe" errorbox utf8 2>/dev/null | tr -d '\r'; }
# Ctrl+E to a typed path, until the saver file is there.
save_saver() {  # save_saver FILE
  keys "$editor_title" ctrl+e
  check "Ctrl+E opens the save dialog for $(basename "$1")" wait_window 'スクリーンセーバーとして保存' 100
  typein 'スクリーンセーバーとして保存' "$(winpath "$1")"
  keys 'スクリーンセーバーとして保存' Return
  check "$(basename "$1") is written" wait_file "$1" 300
}
