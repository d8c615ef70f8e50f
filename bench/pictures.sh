#!/usr/bin/env bash
# The hostile pictures through two versions of vormkit-pack, side by side in
# one run: each file of scripts/make-hostile-pictures at its full size goes
# through `build` (the import and the writer: a one-page saver) and, for the
# formats the player reads, `decode` (the player's decoder), with the wall
# time and the peak memory (/usr/bin/time) of each. Both tools are native
# release builds without the sanitizers, made from the two commits in
# build/bench-pictures/. Prints a Markdown table.
# Usage: bench/pictures.sh OLD [NEW]   (commits; NEW defaults to the working tree)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
old=$1
new=${2:-.}
base=$top/build/bench-pictures
mkdir -p "$base"

# build_tool COMMIT: a release vormkit-pack of that commit (the working tree for "."); prints its path.
build_tool() {
  local commit=$1 name src tree
  if [ "$commit" = . ]; then
    name=work src=$top
  else
    name=$(git -C "$top" rev-parse --short "$commit") src=$base/src-$name
    if [ ! -d "$src" ]; then
      mkdir -p "$src"
      git -C "$top" archive "$commit" | tar -x -C "$src"
      mkdir -p "$src/build" && ln -sfn "$top/build/deps" "$src/build/deps"
    fi
  fi
  tree=$base/tool-$name
  cmake -S "$src" -B "$tree" -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Release -DVK_SANITIZE=OFF -DVK_FUZZ=OFF >/dev/null
  cmake --build "$tree" -j2 --target vormkit-pack >/dev/null
  echo "$tree/tools/pack/vormkit-pack"
}
old_tool=$(build_tool "$old")
new_tool=$(build_tool "$new")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR" "$work/p"
# The hostile ones, then pictures at the size limit (8192 x 8192), which are read.
pictures=(text41.png flat.webp canvas.gif frame.gif rle.bmp flat.png=8193x8192@wide.png scans.jpg greyfull.jpg
          colourfull.jpg zeros.jpg=300
          flat.png flat.tif flat.webp=8192@flat8192.webp canvas.gif=8192@canvas8192.gif rle.bmp=8192@rle8192.bmp
          colourfull.jpg=8192@colour8192.jpg)
python3 "$top/scripts/make-hostile-pictures" "$work/p" "${pictures[@]}"
rm -f "$work/p/zeros.jpg.alone"
printf 'MZ bench player image' >"$work/player.scr"

# run SIDE TOOL COMMAND FILE: one line "seconds peak-KB status first-message-line".
run() {
  local tool=$2 command=$3 file=$4 out
  if [ "$command" = build ]; then
    printf '{"pages": [{"pictures": [{"file": "%s", "place": [0, 0, 1, 1]}]}]}' "$file" >"$work/one.json"
    out=$( { /usr/bin/time -f 'TIME %e %M' "$tool" build "$work/one.json" -o "$work/one.scr" --player "$work/player.scr"; } 2>&1 || true)
  else
    out=$( { /usr/bin/time -f 'TIME %e %M' "$tool" decode "$file" -o "$work/one.bmp"; } 2>&1 || true)
  fi
  local times message
  times=$(grep '^TIME' <<<"$out" | tail -1)
  message=$(grep -v '^TIME\|^Command exited' <<<"$out" | head -1 | sed "s|$work/p/||g; s|vormkit-pack: ||; s|page 1 picture 1: ||")
  local status=accepted
  grep -q 'Command exited' <<<"$out" && status=refused
  if [ "$command" = build ] && [ $status = accepted ]; then
    message="saver of $(stat -c %s "$work/one.scr") bytes"
  fi
  rm -f "$work/one.scr" "$work/one.bmp"
  echo "${times#TIME } $status $message"
}

echo "| file | size | command | before: time | peak | result | after: time | peak | result |"
echo "|---|---|---|---|---|---|---|---|---|"
for entry in "${pictures[@]}"; do
  name=${entry#*@}
  name=${name%%=*}
  file=$work/p/$name
  size=$(stat -c %s "$file")
  commands=(build)
  case $name in *.jpg | *.bmp) commands+=(decode) ;; esac
  for command in "${commands[@]}"; do
    read -r ot om os omsg < <(run old "$old_tool" "$command" "$file")
    read -r nt nm ns nmsg < <(run new "$new_tool" "$command" "$file")
    printf '| %s | %s | %s | %s s | %s MB | %s | %s s | %s MB | %s |\n' "$name" "$size" "$command" \
      "$ot" "$((om / 1024))" "$os${omsg:+: $omsg}" "$nt" "$((nm / 1024))" "$ns${nmsg:+: $nmsg}"
  done
done
