#!/usr/bin/env bash
# End-to-end tests of the real show editor under Wine on an X display,
# driven as a person would: keys and real mouse drags (xdotool), Japanese
# text through the clipboard, screenshots (import) read with ImageMagick.
# Usage: editor_e2e.sh CASE   (env: VK_SRC, VK_BIN, VK_PACK; DISPLAY set)
#   edit    - a folder opened, a picture dragged and resized, a transition's
#             words changed in its own dialog, Ctrl+E to a typed path; the
#             saver played shows the picture where the drag put it (pixels
#             worked out here from the drag); the saver opened again holds
#             the same pages; undo; the unsaved-changes question
#   guards  - a file that is no picture refused naming it, Japanese text from
#             the clipboard stored, text CP932 cannot hold refused by name,
#             the temp folder empty at the end
set -u
case_name=$1
source "$(dirname "$0")/editor_lib.sh"

read -r screen_w screen_h < <(xdotool getdisplaygeometry)
mkdir -p "$work/pics"
convert -size 400x300 xc:'#e02020' -quality 100 "$work/pics/a1.jpg"
convert -size 300x400 xc:'#20c040' "$work/pics/a2.png"
convert -size 640x480 gradient:'#2040c0-#c0c040' -quality 95 "$work/pics/a10.jpg"
echo "this is no picture" > "$work/pics/notes.jpg"
# The remembered window place and the run's temp folder start afresh.
"$run" reg delete 'HKCU\Software\VORMKIT\Editor' /f >/dev/null 2>&1
before=$(temp_listing)

case "$case_name" in
  edit)
    start_editor "$work/pics"
    check "the editor's window appears" wait_window "$editor_title" 300
    # The first page: a1.jpg fitted onto a page of this screen's size, with
    # the folder command's margin of min(w, h) / 36 pixels.
    read -r fl ft fw fh < <(python3 - "$screen_w" "$screen_h" <<'PY'
import sys
W, H = int(sys.argv[1]), int(sys.argv[2])
m = max(1, min(W, H) // 36)
bw, bh, pw, ph = W - 2 * m, H - 2 * m, 400, 300
if pw * bh >= ph * bw: w, h = bw, max(1, (ph * bw * 2 + pw) // (2 * pw))
else: h, w = bh, max(1, (pw * bh * 2 + ph) // (2 * ph))
print(m + (bw - w) // 2, m + (bh - h) // 2, w, h)
PY
)
    for _ in $(seq 100); do shot; P=$(page_rect); [ -n "$P" ] && [ -n "$(bbox '#e02020' $P)" ] && break; sleep 0.1; done
    read -r px py pw ph <<< "$P"
    echo "  page on the canvas: $P; fitted picture on the page: $fl $ft $fw $fh"
    check "the canvas shows the page in the page's shape" \
      python3 -c "import sys; sys.exit(abs($pw * $screen_h - $ph * $screen_w) > 2 * max($screen_w, $screen_h))"
    expected=$(python3 -c "s=$pw/$screen_w; print(round($px+$fl*s), round($py+$ft*s), round($fw*s), round($fh*s))")
    check "the canvas shows the folder's first picture fitted, where the player puts it" \
      near "$(bbox '#e02020' $P)" "$expected" 2
    canvas_before=$(bbox '#e02020' $P)

    # Drag the picture's bottom-right corner in by (80, 80) canvas pixels
    # (proportions kept, the width decides) once it is selected, then the
    # picture by (30, 20).
    hx=$(python3 -c "import math; print(math.floor($px + ($fl + $fw) * $pw / $screen_w))")
    hy=$(python3 -c "import math; print(math.floor($py + ($ft + $fh) * $ph / $screen_h))")
    focus "$editor_title"
    read -r rx ry rw rh <<< "$canvas_before"
    xdotool mousemove $((rx + rw / 2)) $((ry + rh / 2)) click 1; sleep 0.3  # selects it
    xdotool mousemove $hx $hy mousedown 1; sleep 0.1
    for k in 1 2 3 4; do xdotool mousemove $((hx - 20 * k)) $((hy - 20 * k)); sleep 0.05; done
    xdotool mouseup 1; sleep 0.5
    read -r rw rh < <(python3 - <<PY
W, H, pw, ph = $screen_w, $screen_h, $pw, $ph
x, y = ($hx - 80 - $px) * W / pw, ($hy - 80 - $py) * H / ph
w0, h0 = $fw, $fh
w, h = x - $fl, y - $ft
if w / w0 >= h / h0: h = w * h0 / w0
else: w = h * w0 / h0
print(round(w), round(h))
PY
)
    cx=$(python3 -c "print(round($px + ($fl + $rw / 2) * $pw / $screen_w))")
    cy=$(python3 -c "print(round($py + ($ft + $rh / 2) * $ph / $screen_h))")
    xdotool mousemove $cx $cy mousedown 1; sleep 0.1
    for k in 1 2 3 4 5 6; do xdotool mousemove $((cx + 5 * k)) $((cy + 10 * k / 3)); sleep 0.05; done
    xdotool mouseup 1; sleep 0.5
    read -r el et < <(python3 -c "print(round(30*$screen_w/$pw) + $fl, round(20*$screen_h/$ph) + $ft)")
    ew=$rw eh=$rh
    echo "  after the drags, on the page: $el $et $ew $eh"
    shot
    expected=$(python3 -c "s=$pw/$screen_w; print(round($px+$el*s), round($py+$et*s), round($ew*s), round($eh*s))")
    check "the canvas shows the moved and resized picture" near "$(bbox '#e02020' $P)" "$expected" 3

    # The transition's own dialog: nijimu's cell side becomes 24.
    keys "$editor_title" alt+p s
    check "page 1's transition settings dialog opens" wait_window 'パラメータの設定' 100
    keys 'パラメータの設定' shift+Tab Home shift+End
    typein 'パラメータの設定' 24
    keys 'パラメータの設定' Return
    check "the dialog closes with OK" wait_no_window 'パラメータの設定' 100

    # Ctrl+E to a typed path.
    save_saver "$work/Edited.scr"
    sleep 1
    info=$("$pack" info "$work/Edited.scr" 2>&1); echo "$info" | head -12
    check "three pages, in the folder's name order" grep -q '^pages: 3$' <<< "$info"
    check "page 1 carries the words set in the dialog" grep -qE '^  transition: .* params 24 0 0 ' <<< "$info"
    check "no side file is left beside it" test ! -e "$work/Edited.scr.part"

    # Play it: the picture stands where the drags put it.
    (cd "$work" && exec "$run" "$(winpath "$work/Edited.scr")" /s) >/dev/null 2>&1 &
    pids+=($!)
    saver=$!
    check "the saver shows the picture where the canvas showed it" wait_bbox '#e02020' "$el $et $ew $eh" 1 300
    keys '^Screen Saver$' b
    check "a key ends the saver" wait_gone "$saver" 150

    # Undo (the words, the resize, the move) brings the picture back to its fitted place.
    keys "$editor_title" ctrl+z ctrl+z ctrl+z
    sleep 0.5
    shot
    check "three undos put the picture back where the folder put it" near "$(bbox '#e02020' $P)" "$canvas_before" 2
    keys "$editor_title" ctrl+y
    sleep 0.5
    shot
    check "redo moves it again" bash -c "! [ \"$(bbox '#e02020' $P)\" = \"$canvas_before\" ]"

    # Closing with unsaved changes asks first; No closes without saving.
    keys "$editor_title" alt+f x
    check "closing with unsaved changes asks" wait_window '^質問$' 100
    keys '^質問$' n
    check "No closes the editor" wait_gone "$editor_pid" 150

    # Open the saver file again: the same pages.
    start_editor "$work/Edited.scr"
    check "the editor opens the saver file" wait_window "^Edited.scr - $editor_title" 300
    save_saver "$work/Again.scr"
    sleep 1
    again=$("$pack" info "$work/Again.scr" 2>&1)
    check "it holds the same pages, pictures and transitions" test "$info" = "$again"
    keys "$editor_title" alt+f x
    check "an unchanged show closes without a question" wait_gone "$editor_pid" 150
    check "nothing of the editor is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  guards)
    start_editor
    check "the editor's window appears" wait_window "$editor_title" 300
    # A file that is no picture, from the open dialog (title 5158).
    keys "$editor_title" ctrl+i
    check "the picture open dialog opens" wait_window '画像ファイルを開く' 100
    typein '画像ファイルを開く' "$(winpath "$work/pics/notes.jpg")"
    keys '画像ファイルを開く' Return
    out=$("$run" "$bin/saver_driver.exe" errorbox 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r')
    echo "$out"
    check "it is refused with 5021, naming the file" \
      bash -c "grep -q 'notes.jpg' <<< '$out' && grep -q 'このファイルは、画像ファイルとしては扱えません。' <<< '$out'"
    # Japanese text through the clipboard.
    keys "$editor_title" ctrl+t
    check "the text dialog opens" wait_window '^文字$' 100
    clip $'夕焼け\r\n小焼け'
    keys '^文字$' ctrl+v Tab Tab Tab Return
    check "the text dialog closes" wait_no_window '^文字$' 100
    # Text that CP932 cannot hold is refused by name and the dialog stays.
    keys "$editor_title" ctrl+t
    check "the text dialog opens again" wait_window '^文字$' 100
    clip 'café €'
    keys '^文字$' ctrl+v Tab Tab Tab Return
    out=$("$run" "$bin/saver_driver.exe" errorbox utf8 2>/dev/null | tr -d '\r')
    echo "$out"
    check "the refusal names the characters" grep -q '「é €」' <<< "$out"
    check "the dialog stays open" test -n "$(window_id '^文字$')"
    keys '^文字$' Escape
    check "Cancel closes it" wait_no_window '^文字$' 100
    save_saver "$work/Text.scr"
    sleep 1
    info=$("$pack" info "$work/Text.scr" 2>&1); echo "$info"
    check "the Japanese text is stored" grep -q '^  text 1: "夕焼け' <<< "$info"
    check "with its second line" grep -q '^小焼け" at ' <<< "$info"
    check "the refused text was not added" bash -c "! grep -q 'text 2' <<< '$info'"
    keys "$editor_title" alt+f x
    check "closing asks about the unsaved text" wait_window '^質問$' 100
    keys '^質問$' n
    check "the editor ends" wait_gone "$editor_pid" 150
    check "nothing of the editor is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  *) fail "unknown case $case_name" ;;
esac
