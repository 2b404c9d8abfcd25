#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through wait_until and the exit trap
# Runs the program natively on Wayland, with no X server at all: a headless Weston compositor, a
# private session bus and a private PulseAudio null sink (scripts/sound-server.sh). Checks that
#   - the window reaches the compositor as a Wayland toplevel with its title, the desktop entry's
#     name as its app id (how compositors find its entry and icon) and its fixed size;
#   - ticking "Ознакомился" and pressing "Пуск" plays the tone: the sink's monitor is recorded
#     and must hold the 500 Hz tone of the default frequency value 1000 at the default amplitude;
#   - "Эффекты" widens the window for the effects panel, still fixed in size;
#   - SIGTERM ends the program with status 0.
# The controls are operated through the accessibility bus (scripts/press-controls.py), as a
# screen reader would: Wayland lets no other client send input to a window.
#
#   scripts/check-wayland.sh [PROGRAM]      PROGRAM defaults to build/package/vimbra-generator
#
# With VIMBRA_WAYLAND_SHOTS=DIR, the compositor's screen is saved to DIR once the panel is open.
# Prints what it saw when a check fails; exits non-zero if any check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/package/vimbra-generator}")
shots=${VIMBRA_WAYLAND_SHOTS:-}

tmp_name=vimbra-wayland
# shellcheck source=scripts/check-common.sh
source scripts/check-common.sh
cleanup_more() { scripts/sound-server.sh stop "$tmp/sound" >/dev/null 2>&1 || true; }
# Whether the program's Wayland requests (WAYLAND_DEBUG) include one.
requested() { grep -qF -- "$1" "$tmp/program.log"; }
configured() { grep -qE 'xdg_toplevel@[0-9]+\.configure\(' "$tmp/program.log"; }

[[ -x $program ]] || { echo "FAIL: no program $program (run ./package)" >&2; exit 1; }
# The real sound server and the Wayland platform, whatever the caller set.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

eval "$(scripts/sound-server.sh start "$tmp/sound")"

weston_options=(--backend=headless-backend.so --width=1024 --height=768 --socket=wayland-vimbra
  --idle-time=0 --no-config --log="$tmp/weston.log")
# The screenshooter needs a renderer and Weston's debug protocol.
[[ -n $shots ]] && weston_options+=(--use-pixman --debug)
weston "${weston_options[@]}" 2>/dev/null &
pids+=($!)
if ! wait_until 30 test -S "$XDG_RUNTIME_DIR/wayland-vimbra"; then
  echo "FAIL: Weston did not start: $(cat "$tmp/weston.log")" >&2
  exit 1
fi
export WAYLAND_DISPLAY=wayland-vimbra

export DBUS_SESSION_BUS_ADDRESS=unix:path=$tmp/bus
dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork --nopidfile 2>/dev/null &
pids+=($!)
wait_until 30 test -S "$tmp/bus" || { echo "FAIL: the session bus did not start" >&2; exit 1; }

QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 WAYLAND_DEBUG=client \
  "$program" >"$tmp/program.log" 2>&1 &
pid=$!
pids+=("$pid")

if wait_until 60 configured; then
  echo "wayland: the window is up (pid $pid)"
else
  fail "no Wayland toplevel within 60 s; the program's output:"
  tail -n 50 "$tmp/program.log" >&2
fi
for request in 'set_app_id("lab.kestrov.VimbraGenerator")' 'set_title("Vimbra generator v0.2")' \
  'set_min_size(471, 359)' 'set_max_size(471, 359)'; do
  if requested "$request"; then
    echo "wayland: $request"
  else
    fail "the window never requested $request"
  fi
done

/usr/bin/python3 scripts/press-controls.py "CHECK_BOX:Ознакомился" "PUSH_BUTTON:Пуск" ||
  fail "could not start the tone through the accessibility bus"
timeout 1.5 parec --device=vimbra_null.monitor --format=s16le --rate=44100 --channels=2 --raw \
  >"$tmp/tone.raw" || true
# The left channel, from 0.2 s on: its rough frequency (zero crossings) and its RMS amplitude
# (a sine of amplitude 16864 has an RMS of 16864 / 32768 / sqrt(2) = 0.364 of full scale).
sox -t raw -r 44100 -e signed -b 16 -c 2 "$tmp/tone.raw" -n remix 1 trim 0.2 stat 2>"$tmp/stat" ||
  true
frequency=$(awk '/^Rough +frequency:/ {print $3}' "$tmp/stat")
rms=$(awk '/^RMS +amplitude:/ {print $3}' "$tmp/stat")
echo "wayland: recorded ${frequency:-nothing} Hz at an RMS of ${rms:-nothing} of full scale"
awk -v f="${frequency:-0}" -v r="${rms:-0}" \
  'BEGIN {exit !(f >= 495 && f <= 505 && r >= 0.35 && r <= 0.38)}' ||
  fail "expected the 500 Hz tone at an RMS of 0.364; sox says: $(tr '\n' ' ' <"$tmp/stat")"

/usr/bin/python3 scripts/press-controls.py "PUSH_BUTTON:Эффекты" ||
  fail "could not open the effects panel through the accessibility bus"
if wait_until 10 requested 'set_max_size(617, 359)' && requested 'set_min_size(617, 359)'; then
  echo "wayland: the effects panel widened the window to 617 x 359, fixed"
else
  fail "the effects panel did not widen the window to a fixed 617 x 359"
fi
if [[ -n $shots ]]; then
  mkdir -p "$shots"
  if (cd "$shots" && weston-screenshooter); then
    echo "wayland: screenshot in $shots"
  else
    echo "wayland: no screenshot (weston-screenshooter failed)"
  fi
fi

close_program "$pid" wayland "$tmp/program.log"

[[ $failed -eq 0 ]] && echo "wayland checks passed"
exit "$failed"
