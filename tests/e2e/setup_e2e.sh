#!/usr/bin/env bash
# End-to-end tests of set-up programs under Wine, in a Wine prefix of their
# own (they change the user's screen saver, uninstall entries, Start menu and
# file types): made by vormkit-pack, run silently (/S) and through their
# window, uninstalled from their entries' own commands, and checked in the
# registry and the file system.
# Usage: setup_e2e.sh CASE   (env: VK_SRC, VK_BIN, VK_PACK, VK_VERSION; DISPLAY set)
#   silent    - /S install: the entry's values, the screen saver, the file byte
#               for byte; /S uninstall: the screen saver chosen before given
#               back, files, folder, entry and uninstaller gone
#   window    - the window names the show and shows its first page; Yes
#               installs and starts the screen-saver settings
#   two       - two shows side by side, the first removed while the second is
#               current, then the second: the original saver comes back
#   reinstall - a newer show under the same name: one entry, the file replaced
#   cut       - a cut set-up program: an error (box and status), nothing installed
#   signed    - a signed saver still plays and reads; its set-up program,
#               signed too, installs it byte for byte, still signed
#   kit       - VORMKIT's own set-up (make-dist): the editor from the Start
#               menu saves a working file; .vkshow's registered open command
#               starts the installed editor, which saves a set-up program that
#               installs; the uninstall leaves nothing
set -u
case_name=$1
src=${VK_SRC:?} bin=${VK_BIN:?} pack=${VK_PACK:?} version=${VK_VERSION:?}
export VK_WINEPREFIX=${VK_SETUP_WINEPREFIX:-$src/build/wineprefix-setup}
export WINEPREFIX=$VK_WINEPREFIX
run="$src/scripts/wine-run"
user=$(id -un)
temp="$WINEPREFIX/drive_c/users/$user/Temp"
programs="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs"
startmenu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
win_dir="C:\\users\\$user\\AppData\\Local\\Programs\\VORMKIT"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
desktop_key='HKCU\Control Panel\Desktop'
old_saver='C:\windows\system32\old.scr'
work=$(mktemp -d /tmp/vk-setup-e2e.XXXXXX)
# The prefix's own Wine server stops with the run, after its processes.
e2e_cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
}
source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

wait_no_path() { for _ in $(seq "$2"); do [ -e "$1" ] || return 0; sleep 0.1; done; return 1; }
keys() {
  local id; id=$(window_id "$1"); shift
  [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null; sleep 0.2
  for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done
}
# One registry key's values as "NAME|TYPE|DATA" lines; nothing when the key is missing.
reg_dump() { "$run" reg query "$1" 2>/dev/null | tr -d '\r' | LC_ALL=C sed -n 's/^    \([^ ].*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1|\2|\3/p; s/^    \([^ ].*\)    \(REG_[A-Z_]*\)$/\1|\2|/p'; }
value() { grep -F "$2|" <<< "$1" | grep "^$2|" | head -n 1 | cut -d'|' -f3-; }
default_value() { "$run" reg query "$1" /ve 2>/dev/null | tr -d "\r" | LC_ALL=C sed -n 's/^.*    REG_SZ    //p'; }
has_key() { "$run" reg query "$1" >/dev/null 2>&1; }
within() { local d=$(( $1 - $2 )); [ "${d#-}" -le "$3" ]; }
# The bounding box "x y w h" of the pixels of one colour (within 8 %) in shot.png.
bbox() {
  local g w h x y
  g=$(convert "$work/shot.png" -fuzz 8% -fill "#ff00fe" -opaque "$1" -fill black +opaque '#ff00fe' \
        -fill white -opaque '#ff00fe' -bordercolor black -border 1 -format '%@' info: 2>/dev/null)
  [ -n "$g" ] || return 0
  IFS='x+' read -r w h x y <<< "$g"
  echo "$((x - 1)) $((y - 1)) $w $h"
}
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }
is() { [ "$1" = "$2" ] || { echo "  got \"$1\", expected \"$2\""; return 1; }; }

# A clean start, whatever an earlier run left: no entries of ours, the
# screen saver an old one that is switched off.
reset() {
  rm -rf "$programs/VORMKIT" "$startmenu/VORMKIT エディター.lnk" "$temp"/*
  for k in VORMKIT-Blue VORMKIT-Red VORMKIT-Trip VORMKIT; do "$run" reg delete "$uninstall_key\\$k" /f >/dev/null 2>&1; done
  "$run" reg delete 'HKCU\Software\Classes\.vkshow' /f >/dev/null 2>&1
  "$run" reg delete 'HKCU\Software\Classes\VORMKIT.Show' /f >/dev/null 2>&1
  "$run" reg add "$desktop_key" /v SCRNSAVE.EXE /d "$old_saver" /f >/dev/null 2>&1
  "$run" reg add "$desktop_key" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
  before=$(temp_listing)
}

# A one-page show in colour (a 64-pixel green square in its middle), made
# into NAME.scr and NAME-setup.exe in folder.
make_saver() {  # make_saver FOLDER NAME COLOUR [VERSION]
  mkdir -p "$1"
  convert -size 64x64 xc:'#20c040' -quality 100 "$work/green.jpg"
  cat > "$work/show.json" <<JSON
{ "pages": [ {"time": 60000, "background": "$3",
              "pictures": [{"file": "green.jpg", "place": [0.25, 0.25, 0.75, 0.75]}]} ] }
JSON
  "$pack" build "$work/show.json" -o "$1/$2.scr" --player "$bin/VORMKIT.scr" >/dev/null &&
    "$pack" setup "$1/$2.scr" -o "$1/$2-setup.exe" --version "${4:-1.0}" --stub "$bin/vormkit-setup.exe" >/dev/null
}
install_silently() { "$run" "$(winpath "$1")" /S >/dev/null 2>&1; }
# Runs the entry's own quiet uninstall command, as Settings -> Apps would.
uninstall_silently() {  # uninstall_silently KEY
  local command; command=$(value "$(reg_dump "$uninstall_key\\$1")" QuietUninstallString)
  [ -n "$command" ] || { echo "  no QuietUninstallString in $1"; return 1; }
  eval "set -- $(printf '%s' "$command" | sed 's/\\/\\\\/g')"
  "$run" "$@" >/dev/null 2>&1
}
saver_is() {  # saver_is VALUE ACTIVE
  local d; d=$(reg_dump "$desktop_key")
  is "$(value "$d" SCRNSAVE.EXE)" "$1" && is "$(value "$d" ScreenSaveActive)" "$2"
}
# The installed entry of one saver, every value worked out here.
entry_is() {  # entry_is NAME FOLDER VERSION
  local name=$1 e; e=$(reg_dump "$uninstall_key\\VORMKIT-$1")
  local scr="$win_dir\\$name.scr" un="$win_dir\\$name-uninstall.exe"
  local size=$(( ($(stat -c %s "$2/$name.scr") + $(stat -c %s "$bin/vormkit-setup.exe") + 1023) / 1024 ))
  is "$(value "$e" DisplayName)" "$name" && is "$(value "$e" DisplayVersion)" "$3" &&
    is "$(value "$e" Publisher)" VORMKIT && is "$(value "$e" DisplayIcon)" "$scr" &&
    is "$(value "$e" UninstallString)" "\"$un\" /uninstall \"VORMKIT-$name\"" &&
    is "$(value "$e" EstimatedSize)" "$(printf '0x%x' "$size")" &&
    is "$(value "$e" NoModify)" 0x1 && is "$(value "$e" NoRepair)" 0x1
}
# The installed saver and uninstaller, byte for byte: the saver as packed,
# the uninstaller the set-up program's own image (its package cut off).
files_are() {  # files_are NAME FOLDER
  local un="$programs/VORMKIT/$1-uninstall.exe"
  cmp -s "$programs/VORMKIT/$1.scr" "$2/$1.scr" && [ -f "$un" ] &&
    is "$(stat -c %s "$un")" "$(stat -c %s "$bin/vormkit-setup.exe")" &&
    cmp -s -n "$(stat -c %s "$un")" "$un" "$2/$1-setup.exe"
}
nothing_left() {  # nothing_left KEY FILE...: the entry, the files and the temp files of the run gone
  has_key "$uninstall_key\\$1" && { echo "  the entry $1 is still there"; return 1; }
  shift
  local f
  for f in "$@"; do wait_no_path "$f" 100 || { echo "  $f is still there"; return 1; }; done
  is "$(temp_listing)" "$before"
}
saver_gone() { nothing_left "VORMKIT-$1" "$programs/VORMKIT/$1.scr" "$programs/VORMKIT/$1-uninstall.exe"; }

reset
case "$case_name" in
silent)
  make_saver "$work/a" Blue '#2040c0'
  install_silently "$work/a/Blue-setup.exe"
  check "/S installs and exits 0" [ $? = 0 ]
  check "the uninstall entry holds every value" entry_is Blue "$work/a" 1.0
  check "the saver and uninstaller are installed byte for byte" files_are Blue "$work/a"
  check "it is the current screen saver, switched on" saver_is "$win_dir\\Blue.scr" 1
  check "the temp folder holds nothing of the install" is "$(temp_listing)" "$before"
  uninstall_silently VORMKIT-Blue
  check "the quiet uninstall command exits 0" [ $? = 0 ]
  check "the screen saver chosen before is back" saver_is "$old_saver" 0
  check "entry, files, uninstaller and temp files are gone" saver_gone Blue
  check "the install folder is gone" wait_no_path "$programs/VORMKIT" 100
  ;;
window)
  make_saver "$work/a" Blue '#2040c0'
  # The process trace shows which programs the set-up starts.
  (cd "$work" && WINEDEBUG=+process exec "$run" "$(winpath "$work/a/Blue-setup.exe")") >/dev/null 2>"$work/trace" &
  pid=$!; pids+=($pid)
  check "the set-up window names the show" wait_window '^Blue のセットアップ$' 300
  sleep 0.5
  import -window root "$work/shot.png" 2>/dev/null
  # The first page in the window: the blue page with the green square in its
  # middle, half the page's width and height.
  read -r bx by bw bh < <(bbox '#2040c0')
  read -r gx gy gw gh < <(bbox '#20c040')
  centred() {
    [ "${bw:-0}" -ge 100 ] && within $((2 * gw)) "$bw" 4 && within $((2 * gh)) "$bh" 4 &&
      within $((2 * gx + gw)) $((2 * bx + bw)) 4 && within $((2 * gy + gh)) $((2 * by + bh)) 4 ||
      { echo "  page ${bw:-}x${bh:-}+${bx:-}+${by:-}, square ${gw:-}x${gh:-}+${gx:-}+${gy:-}"; return 1; }
  }
  check "the window shows the first page, the square in its middle" centred
  keys '^Blue のセットアップ$' Return
  check "Yes installs and the set-up program ends" wait_gone "$pid" 300
  wait "$pid"; status=$?
  check "it exits 0" is "$status" 0
  check "the entry is there" entry_is Blue "$work/a" 1.0
  check "it is the current screen saver" saver_is "$win_dir\\Blue.scr" 1
  check "the screen-saver settings were started from the system folder" \
    grep -qF 'cmdline L"\"C:\\windows\\system32\\control.exe\" desk.cpl,,@screensaver"' "$work/trace"
  uninstall_silently VORMKIT-Blue
  check "the uninstall leaves nothing" saver_gone Blue
  ;;
two)
  make_saver "$work/a" Blue '#2040c0'
  make_saver "$work/b" Red '#c04020'
  install_silently "$work/a/Blue-setup.exe" && install_silently "$work/b/Red-setup.exe"
  check "both install" [ $? = 0 ]
  check "both entries are there" entry_is Blue "$work/a" 1.0
  check "  and the second" entry_is Red "$work/b" 1.0
  check "both savers lie side by side" files_are Blue "$work/a"
  check "  and the second" files_are Red "$work/b"
  check "the second is the current saver" saver_is "$win_dir\\Red.scr" 1
  uninstall_silently VORMKIT-Blue
  check "removing the first leaves the second current" saver_is "$win_dir\\Red.scr" 1
  check "  and installed" files_are Red "$work/b"
  check "  and the first is gone" saver_gone Blue
  uninstall_silently VORMKIT-Red
  check "removing the second gives back the saver chosen before both" saver_is "$old_saver" 0
  check "  and leaves nothing" saver_gone Red
  check "the install folder is gone" wait_no_path "$programs/VORMKIT" 100
  ;;
reinstall)
  make_saver "$work/a" Blue '#2040c0' 1.0
  make_saver "$work/b" Blue '#40c020' 2.0
  check "two different savers of one name" bash -c "! cmp -s '$work/a/Blue.scr' '$work/b/Blue.scr'"
  install_silently "$work/a/Blue-setup.exe" && install_silently "$work/b/Blue-setup.exe"
  check "both installs exit 0" [ $? = 0 ]
  check "one entry, of the newer version" entry_is Blue "$work/b" 2.0
  entries=$("$run" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | grep -c 'Uninstall\\VORMKIT')
  check "there is still one entry" is "$entries" 1
  check "the installed saver is the newer one" files_are Blue "$work/b"
  uninstall_silently VORMKIT-Blue
  check "the uninstall gives back the saver chosen before the first install" saver_is "$old_saver" 0
  check "  and leaves nothing" saver_gone Blue
  ;;
cut)
  make_saver "$work/a" Blue '#2040c0'
  size=$(stat -c %s "$work/a/Blue-setup.exe")
  head -c $((size - 5000)) "$work/a/Blue-setup.exe" > "$work/a/Cut-setup.exe"
  install_silently "$work/a/Cut-setup.exe"
  check "/S exits 2 for a cut set-up program" is "$?" 2
  (cd "$work" && exec "$run" "$(winpath "$work/a/Cut-setup.exe")") >/dev/null 2>&1 &
  pid=$!; pids+=($pid)
  check "without /S it says so in an error box" wait_window '^エラー$' 300
  keys '^エラー$' Return
  check "  and ends" wait_gone "$pid" 300
  check "nothing is installed" bash -c "[ ! -e '$programs/VORMKIT' ]"
  check "no entry is made" bash -c "! '$run' reg query '$uninstall_key\\VORMKIT-Blue' >/dev/null 2>&1"
  check "the screen saver is unchanged" saver_is "$old_saver" 0
  ;;
signed)
  make_saver "$work/a" Blue '#2040c0'
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=VORMKIT e2e" >/dev/null 2>&1
  sign() { osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n Blue -in "$1" -out "$2" >/dev/null; }
  verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
  mkdir -p "$work/s"
  sign "$work/a/Blue.scr" "$work/s/Blue.scr"
  check "the signed saver verifies" verify "$work/s/Blue.scr"
  check "vormkit-pack info reads the signed saver" bash -c "'$pack' info '$work/s/Blue.scr' | grep -qx 'pages: 1'"
  # The signed saver plays: its blue page fills the screen.
  (cd "$work/s" && exec "$run" "$(winpath "$work/s/Blue.scr")" /s) >/dev/null 2>&1 &
  pid=$!; pids+=($pid)
  plays() {
    for _ in $(seq 300); do
      import -window root "$work/shot.png" 2>/dev/null && read -r r g b <<< "$(pixel "$work/shot.png" 5 5)" &&
        within "$r" 32 2 && within "$g" 64 2 && within "$b" 192 2 && return 0
      sleep 0.1
    done
    return 1
  }
  check "the signed saver plays its page" plays
  for _ in $(seq 20); do alive "$pid" || break; xdotool key --clearmodifiers space; sleep 0.5; done
  check "  and ends on a key" wait_gone "$pid" 100
  "$pack" setup "$work/s/Blue.scr" -o "$work/s/Blue-unsigned-setup.exe" --version 1.0 \
    --stub "$bin/vormkit-setup.exe" >/dev/null
  sign "$work/s/Blue-unsigned-setup.exe" "$work/s/Blue-setup.exe"
  check "the signed set-up program verifies" verify "$work/s/Blue-setup.exe"
  install_silently "$work/s/Blue-setup.exe"
  check "the signed set-up program installs" [ $? = 0 ]
  check "the installed saver is the signed one, byte for byte" cmp -s "$programs/VORMKIT/Blue.scr" "$work/s/Blue.scr"
  check "  and still verifies" verify "$programs/VORMKIT/Blue.scr"
  check "the uninstaller carries no signature of a file it is not" bash -c \
    "! osslsigncode verify -in '$programs/VORMKIT/Blue-uninstall.exe' 2>&1 | grep -q 'Signature Index'"
  uninstall_silently VORMKIT-Blue
  check "the uninstall leaves nothing" saver_gone Blue
  ;;
kit)
  bash "$src/scripts/make-dist" "$bin" "$pack" "$work/dist" "$version" >/dev/null
  setup="$work/dist/VORMKIT-$version-setup.exe"
  check "make-dist writes the zip and the set-up program" [ -s "$work/dist/VORMKIT-$version-win32.zip" -a -s "$setup" ]
  install_silently "$setup"
  check "the set-up installs VORMKIT" [ $? = 0 ]
  kit="$programs/VORMKIT/Editor"
  same_files() {
    local f
    for f in vormkit-editor.exe VORMKIT.scr nijimu.tns QUADRIL.tns melt.tns gray.tns VELLUX.tns diffuse.tns \
             vormkit-pack.exe vormkit-setup.exe; do
      cmp -s "$kit/$f" "$bin/$f" || { echo "  $f differs"; return 1; }
    done
    cmp -s "$kit/help/index.html" "$src/help/index.html"
  }
  check "every file is installed byte for byte" same_files
  link="$startmenu/VORMKIT エディター.lnk"
  check "the Start menu has the editor's entry" [ -s "$link" ]
  e=$(reg_dump "$uninstall_key\\VORMKIT")
  check "the uninstall entry names VORMKIT and its version" bash -c \
    "[ '$(value "$e" DisplayName)' = VORMKIT ] && [ '$(value "$e" DisplayVersion)' = '$version' ]"
  # The editor from its Start-menu entry.
  (cd "$work" && exec "$run" start /wait "C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\VORMKIT エディター.lnk") \
    >/dev/null 2>&1 &
  pid=$!; pids+=($pid)
  check "the Start-menu entry starts the editor" wait_window '^無題 - VORMKIT エディター$' 300
  # A working file, saved by the editor itself.
  mkdir -p "$work/show"
  keys '^無題 - VORMKIT エディター$' ctrl+s
  wait_window '^作業ファイルを保存$' 300
  keys '^作業ファイルを保存$' ctrl+a
  xdotool type --delay 20 "$(winpath "$work/show/Trip.vkshow")"; sleep 0.2
  keys '^作業ファイルを保存$' Return
  check "the editor saves a working file" wait_window '^Trip.vkshow - VORMKIT エディター$' 300
  keys 'VORMKIT エディター$' alt+f x
  check "  and ends" wait_no_window 'VORMKIT エディター$' 300
  wait_gone "$pid" 100
  # Wine's shell reads file types from the machine's classes only, so the
  # test does what Windows' shell does with the user's: the extension names
  # the type, whose open command is run with the file for %1.
  type=$(default_value 'HKCU\Software\Classes\.vkshow')
  check "the .vkshow extension names VORMKIT's type" is "$type" VORMKIT.Show
  open=$(default_value "HKCU\\Software\\Classes\\$type\\shell\\open\\command")
  check "the type opens in the installed editor" is "$open" "\"$win_dir\\Editor\\vormkit-editor.exe\" \"%1\""
  file=$(winpath "$work/show/Trip.vkshow")
  eval "set -- $(printf '%s' "${open//%1/"$file"}" | sed 's/\\/\\\\/g')"
  (cd "$work" && exec "$run" "$@") >/dev/null 2>&1 &
  pid=$!; pids+=($pid)
  check "the open command opens the file in the installed editor" wait_window '^Trip.vkshow - VORMKIT エディター$' 300
  # The installed editor saves the show as a set-up program, which installs it.
  keys 'VORMKIT エディター$' alt+f u
  check "File > save as set-up file asks for the name under title 5154" \
    wait_window '^スクリーンセーバーセットアップファイルを保存$' 300
  keys '^スクリーンセーバーセットアップファイルを保存$' ctrl+a
  xdotool type --delay 20 "$(winpath "$work/show/Trip-setup.exe")"; sleep 0.2
  keys '^スクリーンセーバーセットアップファイルを保存$' Return
  wait_no_window '^スクリーンセーバーセットアップファイルを保存$' 300
  for _ in $(seq 300); do [ -s "$work/show/Trip-setup.exe" ] && [ ! -e "$work/show/Trip-setup.exe.part" ] && break; sleep 0.1; done
  install_silently "$work/show/Trip-setup.exe"
  check "the editor's set-up program installs the show" [ $? = 0 ]
  check "  as Trip.scr, a saver of its one page" bash -c "'$pack' info '$programs/VORMKIT/Trip.scr' | grep -qx 'pages: 1'"
  check "  with its entry" is "$(value "$(reg_dump "$uninstall_key\\VORMKIT-Trip")" DisplayName)" Trip
  keys 'VORMKIT エディター$' alt+f x
  check "  which ends" wait_no_window 'VORMKIT エディター$' 300
  wait_gone "$pid" 100
  uninstall_silently VORMKIT-Trip
  check "the editor's set-up program's saver uninstalls" saver_gone Trip
  uninstall_silently VORMKIT
  check "the uninstall removes the entry, the files and the install folder" nothing_left VORMKIT "$programs/VORMKIT"
  check "  the Start-menu entry" [ ! -e "$link" ]
  check "  and the file type" bash -c "! '$run' reg query 'HKCU\\Software\\Classes\\.vkshow' >/dev/null 2>&1 &&
                                       ! '$run' reg query 'HKCU\\Software\\Classes\\VORMKIT.Show' >/dev/null 2>&1"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
