#!/usr/bin/env bash
# Runs the dialog text test at another DPI: in a private copy of the test
# prefix (its files linked, its registry copied) whose user setting
# HKCU\Control Panel\Desktop\LogPixels is DPI, the value Wine reads at a
# program's start. The shared prefix is never changed.
# Usage: tests/dialogs/dialog_dpi.sh DPI vk_dialog_tests.exe
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
dpi=$1 program=$2
prefix=${VK_WINEPREFIX:-$top/build/wineprefix}
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# The shared prefix exists and is ready (the runner makes it on first use).
bash "$top/scripts/wine-run" cmd /c exit >/dev/null 2>&1 || { echo "FAIL: no Wine prefix"; exit 1; }

work=$(mktemp -d /tmp/vk-dpi.XXXXXX)
copy="$work/prefix"
cleanup() {
  WINEPREFIX="$copy" "$server" -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
cp -al "$prefix" "$copy" || exit 1
# Wine rewrites its registry files: those are real copies, not links.
for reg in "$copy"/*.reg; do cp --remove-destination "$prefix/$(basename "$reg")" "$reg" || exit 1; done

# The setting goes straight into the copy's user registry, before any Wine
# process of the copy runs: the section "Control Panel\\Desktop" gets the value.
awk -v value="$(printf '"LogPixels"=dword:%08x' "$dpi")" '
  /^"LogPixels"=/ && inDesktop { next }
  { print }
  /^\[Control Panel\\\\Desktop\]/ { inDesktop = 1; getline; print; print value; next }
  /^\[/ { inDesktop = 0 }
' "$prefix/user.reg" > "$copy/user.reg" || exit 1
grep -q "^\"LogPixels\"=dword:$(printf %08x "$dpi")" "$copy/user.reg" || { echo "FAIL: cannot set LogPixels"; exit 1; }

export VK_WINEPREFIX="$copy"
VORMKIT_EXPECT_DPI=$dpi bash "$top/scripts/wine-run" "$program" --gtest_filter='DialogText.*'
