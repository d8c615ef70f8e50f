# What every end-to-end script shares: the checks and their count, the end of
# a run (the script's own e2e_cleanup when it has one, then the processes in
# pids and the run's folder $work, the count and the status) and the helpers
# for paths, processes and windows. Sourced once work and temp are set.
passed=0 failed=0
pids=()

ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@"; then ok "$what"; else fail "$what"; fi; }
finish() {
  if declare -F e2e_cleanup >/dev/null; then e2e_cleanup; fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
  echo "$passed passed, $failed failed"
  [ $failed = 0 ]
  exit $?
}
trap finish EXIT

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
temp_listing() { ls -A "$temp" 2>/dev/null | sort; }
alive() { kill -0 "$1" 2>/dev/null; }
wait_gone() { for _ in $(seq "$2"); do alive "$1" || return 0; sleep 0.1; done; return 1; }
window_id() { xdotool search --name "$1" 2>/dev/null | head -n 1; }
wait_window() { for _ in $(seq "$2"); do id=$(window_id "$1"); [ -n "$id" ] && return 0; sleep 0.1; done; return 1; }
wait_no_window() { for _ in $(seq "$2"); do [ -z "$(window_id "$1")" ] && return 0; sleep 0.1; done; return 1; }
