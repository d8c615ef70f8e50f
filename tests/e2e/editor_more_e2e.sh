#!/usr/bin/env bash
# End-to-end tests of the show editor's sounds, show settings and the ways it
# keeps work: the real editor under Wine, driven by keys and typed paths.
# Usage: editor_more_e2e.sh CASE   (env: VK_SRC, VK_BIN, VK_PACK; DISPLAY set)
#   sounds   - a voice and three music tracks added from the open dialog, the
#              first moved down from the keyboard, a 21st track refused with 5300, a password whose confirmation
#              differs refused with 5018 and then set, a link; saved as a
#              screen saver, opened again (the password asked) and saved
#              again: the voice, the music and the link byte for byte
#   keeping  - the editor killed after an autosave, started again, the show
#              restored with the same pages; a clean exit leaves no recovery
#              file; a moved picture marked missing and Ctrl+E refused naming
#              it; saving onto a full disk (a file-size limit) gives 5006 and
#              leaves the old file unchanged with no side file
set -u
case_name=$1
source "$(dirname "$0")/editor_lib.sh"

mkdir -p "$work/pics" "$work/music"
convert -size 400x300 xc:'#2040e0' -quality 100 "$work/pics/a1.jpg"
convert -size 300x400 xc:'#20c040' "$work/pics/a2.png"
"$run" reg delete 'HKCU\Software\VORMKIT\Editor' /f >/dev/null 2>&1
before=$(temp_listing)

# A one-second voice (8 kHz, 8-bit mono) and 21 small MIDI files, each different.
python3 - "$work" <<'PY'
import struct, sys, wave
work = sys.argv[1]
with wave.open(work + "/voice.wav", "wb") as w:
    w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
    w.writeframes(bytes((128 + (k % 40) - 20) for k in range(8000)))
for n in range(1, 22):
    events = bytes([0x00, 0x90, 40 + n, 0x40, 0x60, 0x80, 40 + n, 0x00, 0x00, 0xFF, 0x2F, 0x00])
    data = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(events)) + events
    open("%s/music/m%02d.mid" % (work, n), "wb").write(data)
PY
echo "this is no sound" > "$work/music/notes.wav"

open_with() {  # open_with TITLE PATH...: types the paths into an open dialog
  local title=$1; shift
  check "the dialog \"$title\" opens" wait_window "$title" 100
  typein "$title" "$*"
  keys "$title" Return
}
saver_info() { "$pack" info "$1" 2>&1 | grep -E '^(link|link caption|password|music [0-9]+|  sound [0-9]+):'; }

case "$case_name" in
  sounds)
    start_editor "$work/pics"
    check "the editor's window appears" wait_window "$editor_title" 300
    # A file that is no sound is refused, naming it (5011); then the voice.
    keys "$editor_title" alt+p o
    open_with 'サウンドファイルを開く' "$(winpath "$work/music/notes.wav")"
    out=$(error_text); echo "$out"
    check "a file that is no sound gets 5011, naming it" \
      bash -c "grep -q 'notes.wav' <<< '$out' && grep -q 'このファイルは、サウンドファイルとしては扱えません。' <<< '$out'"
    keys "$editor_title" alt+p o
    open_with 'サウンドファイルを開く' "$(winpath "$work/voice.wav")"
    check "the open dialog closes" wait_no_window 'サウンドファイルを開く' 100
    # Three tracks at once, then eighteen more: the 21st is refused with 5300.
    keys "$editor_title" ctrl+b
    open_with 'サウンドファイルを開く' "$(winpath "$work/music")"
    keys 'サウンドファイルを開く' Home shift+End
    typein 'サウンドファイルを開く' '"m01.mid" "m02.mid" "m03.mid"'
    keys 'サウンドファイルを開く' Return
    check "three tracks are added" wait_no_window 'サウンドファイルを開く' 100
    # The first track, clicked in the music pane under the canvas, moves down
    # one place with Alt+Down.
    sleep 0.5; shot
    read -r gx gy gw gh <<< "$(fuzz=0 bbox '#808080')"
    xdotool mousemove $((gx + 40)) $((gy + gh + 24)) click 1; sleep 0.3
    # Wine takes the Alt's release, after an accelerator, for a press of the
    # menu bar: Escape leaves it.
    xdotool key --clearmodifiers alt+Down; sleep 0.3
    xdotool key Escape; sleep 0.2
    keys "$editor_title" ctrl+b
    names=$(for n in $(seq 4 21); do printf '"m%02d.mid" ' "$n"; done)
    open_with 'サウンドファイルを開く' "$(winpath "$work/music")"
    keys 'サウンドファイルを開く' Home shift+End
    typein 'サウンドファイルを開く' "$names"
    keys 'サウンドファイルを開く' Return
    out=$(error_text); echo "$out"
    check "the 21st track gets 5300" grep -q 'BGMは20個までしか登録できません。' <<< "$out"

    # The show's settings: a link, and a password whose confirmation differs first.
    keys "$editor_title" ctrl+g
    check "the show's settings open" wait_window '^ショーの設定$' 100
    # Each entry is reached by its label's access key.
    keys '^ショーの設定$' alt+a
    typein '^ショーの設定$' 'https://example.com/vormkit/'
    keys '^ショーの設定$' alt+n
    typein '^ショーの設定$' 'Home'
    keys '^ショーの設定$' alt+p
    typein '^ショーの設定$' 'himitsu'
    keys '^ショーの設定$' alt+c
    typein '^ショーの設定$' 'himitsv'
    keys '^ショーの設定$' alt+s
    out=$(error_text); echo "$out"
    check "a confirmation that differs gets 5018" grep -q '確認用パスワードが間違っています。' <<< "$out"
    check "the settings stay open" test -n "$(window_id '^ショーの設定$')"
    keys '^ショーの設定$' alt+c
    typein '^ショーの設定$' 'himitsu'
    keys '^ショーの設定$' Return
    check "OK closes the settings" wait_no_window '^ショーの設定$' 100

    save_saver "$work/Sounds.scr"
    sleep 1
    info=$(saver_info "$work/Sounds.scr"); echo "$info"
    check "the link is stored" grep -qx 'link: https://example.com/vormkit/' <<< "$info"
    check "with its caption" grep -qx 'link caption: Home' <<< "$info"
    check "the password is stored" grep -qx 'password: set' <<< "$info"
    check "twenty music tracks" test "$(grep -c '^music ' <<< "$info")" = 20
    mkdir -p "$work/x1" "$work/x2"
    "$pack" extract "$work/Sounds.scr" "$work/x1" >/dev/null 2>&1
    same_media() {  # the voice and the 20 tracks, byte for byte, in order (the first two exchanged)
      local dir=$1 k=0 order=(02 01 $(seq -w 3 20))
      cmp -s "$dir/$(cd "$dir" && ls | grep '^s_0_0\.')" "$work/voice.wav" || return 1
      for f in $(cd "$dir" && ls | grep '^m_' | sort -t_ -k2,2n); do
        cmp -s "$dir/$f" "$work/music/m${order[$k]}.mid" || return 1
        k=$((k + 1))
      done
      [ $k = 20 ]
    }
    check "the voice and the music are embedded byte for byte, in the order made" same_media "$work/x1"
    keys "$editor_title" alt+f x
    check "closing asks about the unsaved show" wait_window '^質問$' 100
    keys '^質問$' n
    check "the editor ends" wait_gone "$editor_pid" 150

    # Opened again: the password is asked for; saved again, the same sounds and link.
    start_editor "$work/Sounds.scr"
    check "opening the saver asks for the password" wait_window '^パスワード$' 300
    typein '^パスワード$' 'himitsu'
    keys '^パスワード$' Return
    check "the editor opens the saver file" wait_window "^Sounds.scr - $editor_title" 300
    save_saver "$work/Again.scr"
    sleep 1
    check "it holds the same link, password, voice and music" test "$(saver_info "$work/Again.scr")" = "$info"
    "$pack" extract "$work/Again.scr" "$work/x2" >/dev/null 2>&1
    check "their bytes are the same" same_media "$work/x2"
    keys "$editor_title" alt+f x
    check "an unchanged show closes without a question" wait_gone "$editor_pid" 150
    check "nothing of the editor is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  keeping)
    # A saver file (its media live in the editor's temp folder while it is
    # open); autosave every second here; a new page makes three.
    "$pack" folder "$work/pics" -o "$work/K.scr" --player "$bin/VORMKIT.scr" >/dev/null
    export VK_AUTOSAVE_MS=1000
    start_editor "$work/K.scr"
    check "the editor's window appears" wait_window "^K.scr - $editor_title" 300
    keys "$editor_title" ctrl+shift+n
    for _ in $(seq 100); do [ -n "$(recovery_listing)" ] && break; sleep 0.1; done
    saved="$recovery/$(recovery_listing | head -n 1)"
    check "an autosave is written to the recovery folder" test -s "$saved"
    for _ in $(seq 50); do "$pack" info "$saved" 2>/dev/null | grep -q '^pages: 3$' && break; sleep 0.1; done
    # The pages and pictures as listed, without the pictures' paths.
    page_list() { "$pack" info "$1" 2>&1 | grep -E '^(pages|page [0-9]+|  picture [0-9]+):' | sed -E 's/^(  picture .*), [^,]*$/\1/'; }
    pages=$(page_list "$saved")
    echo "$pages"
    check "it holds the three pages" grep -q '^pages: 3$' <<< "$pages"
    "$run" taskkill /f /im vormkit-editor.exe >/dev/null 2>&1
    check "the editor is killed" wait_gone "$editor_pid" 150

    unset VK_AUTOSAVE_MS
    start_editor
    check "the next start offers the show back" wait_window '^質問$' 300
    keys '^質問$' y
    check "the restored show is unsaved, named as before" wait_window "^\*K.scr - $editor_title" 300
    keys "$editor_title" ctrl+shift+s
    open_with '作業ファイルを保存' "$(winpath "$work/Old.vkshow")"
    check "the working file is written" wait_file "$work/Old.vkshow" 300
    sleep 0.5
    check "the restored show has the same pages" test "$(page_list "$work/Old.vkshow")" = "$pages"
    # Its pictures came from the ended editor's temp folder into this run's,
    # and from there beside the working file.
    check "both pictures are saved beside the working file" \
      test "$(ls "$work/Old_media" 2>/dev/null | grep -c '^i_')" = 2
    check "the recovery file was taken back" test -z "$(recovery_listing)"
    keys "$editor_title" alt+f x
    check "a saved show closes without a question" wait_gone "$editor_pid" 150
    check "a clean exit leaves no recovery file" test -z "$(recovery_listing)"

    # The first page's picture moves away; the editor runs where files can
    # grow to only half the working file (Wine's server starts first: it
    # writes the registry).
    mkdir -p "$work/moved"; mv "$work/Old_media/"i_0_0.* "$work/moved/"
    cp "$work/Old.vkshow" "$work/Old.copy"
    limit=$(( $(stat -c %s "$work/Old.vkshow") / 2048 ))
    "$run" cmd /c exit >/dev/null 2>&1
    (ulimit -f $limit; trap '' XFSZ; cd "$work" && exec "$run" "$bin/vormkit-editor.exe" "$(winpath "$work/Old.vkshow")") \
      >/dev/null 2>&1 &
    pids+=($!)
    editor_pid=$!
    check "opening a show with a moved picture names it and offers to look for it" wait_window '^質問$' 300
    keys '^質問$' n
    sleep 1
    shot
    P=$(page_rect)
    box=$(fuzz=1 bbox '#ff0000' $P)
    echo "  page $P, marked $box"
    check "the picture's place is marked on the canvas in its shape" \
      python3 -c "b='$box'.split(); import sys; sys.exit(not (len(b) == 4 and abs(int(b[2]) * 3 - int(b[3]) * 4) <= 12))"
    check "the moved picture itself is not shown" test -z "$(bbox '#2040e0' $P)"
    keys "$editor_title" ctrl+e
    out=$(error_text); echo "$out"
    check "Ctrl+E is refused, naming the missing file" \
      bash -c "grep -q 'i_0_0' <<< '$out' && grep -q 'スクリーンセーバーとして保存できません' <<< '$out'"
    keys "$editor_title" ctrl+shift+n ctrl+s
    out=$(error_text); echo "$out"
    check "saving onto a full disk gives 5006" grep -q 'ファイルの書き込みに失敗しました。' <<< "$out"
    check "the old file is unchanged" cmp -s "$work/Old.vkshow" "$work/Old.copy"
    check "nothing half-written is left beside it" test ! -e "$work/Old.vkshow.part"
    keys "$editor_title" alt+f x
    check "closing asks about the unsaved show" wait_window '^質問$' 100
    keys '^質問$' n
    check "the editor ends" wait_gone "$editor_pid" 150
    check "no recovery file is left" test -z "$(recovery_listing)"
    check "nothing of the editor is left in the temp folder" test "$(temp_listing)" = "$before"
    ;;
  *) fail "unknown case $case_name" ;;
esac
