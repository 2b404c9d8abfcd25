# shellcheck shell=bash
# What the package checks share: sourced by check-package.sh, check-wayland.sh and
# check-themes.sh after they set `tmp_name`. Gives `failed` and fail(), a temporary folder `tmp`
# and a list `pids` of the processes to end (last started, first ended) when the script exits,
# wait_until(), close_program() and start_xvfb(). A script that has more to clean up defines
# cleanup_more().

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

tmp=$(mktemp -d -t "$tmp_name.XXXXXX")
pids=()
cleanup() {
  # TERM, so that Xvfb and Weston remove their lock files and sockets.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill -TERM "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
  done
  if declare -F cleanup_more >/dev/null; then cleanup_more; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

wait_until() {  # seconds, command...
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Starts Xvfb with one screen of the given size (e.g. 1024x768x24) and exports its DISPLAY.
start_xvfb() {  # screen
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
  pids+=($!)
  if ! wait_until 30 test -s "$tmp/display"; then
    fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    return 1
  fi
  DISPLAY=:$(<"$tmp/display")
  export DISPLAY
}

gone() { ! kill -0 "$1" 2>/dev/null; }

# Sends SIGTERM and expects the program to end by itself with status 0 within 30 s.
close_program() {  # pid, what, log file
  local pid=$1 what=$2 log=$3 status=0
  kill -TERM "$pid" 2>/dev/null || true  # already gone: the wait below reports how it ended
  wait_until 30 gone "$pid" || true
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "$what: still running 30 s after SIGTERM"
  fi
  wait "$pid" || status=$?
  if [[ $status -ne 0 ]]; then
    fail "$what: exit status $status after SIGTERM; its last output:"
    tail -n 50 "$log" >&2
  else
    echo "$what: quit with status 0 on SIGTERM"
  fi
}
