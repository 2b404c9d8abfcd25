#!/usr/bin/env bash
# A private PulseAudio sound server for the end-to-end tests, with one null sink.
#
#   eval "$(scripts/sound-server.sh start DIR)"   starts it; prints "export PULSE_SERVER=..."
#   scripts/sound-server.sh stop DIR              stops what start started
#   scripts/sound-server.sh kill DIR              kills the server at once, as a crash would; a
#                                                 later start DIR brings it back on the same socket
#
# Everything lives in DIR: the configuration, the socket DIR/native, the log and the pids. The
# server needs no systemd, D-Bus or login session, and runs as root in a container too: as root,
# PulseAudio's per-user mode (--system=no) still works once HOME and the runtime and state paths
# point into DIR (it warns that it is "not intended to be run as root", harmlessly). Clients
# connect anonymously over the socket, so no cookie is involved.
#
# The sink "vimbra_null" (44100 Hz, 16-bit stereo) is the default sink; record what was played
# from its monitor "vimbra_null.monitor". An idle null sink runs with very long blocks (up to 2 s),
# so a silent keep-alive stream at 10 ms latency keeps it rendering in small steps; start returns
# once that stream plays. A second null sink, "vimbra_other", stands for another output the user
# may pick as the default.
set -euo pipefail
# The server's own clients (the keep-alive stream, pactl) keep the latencies set here.
unset PULSE_LATENCY_MSEC

usage() {
  echo "usage: $0 start|stop|kill DIR" >&2
  exit 2
}
[[ $# -eq 2 ]] || usage
command=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
socket="$dir/native"
export PULSE_SERVER="unix:$socket"

# Sends TERM to the pid in a pid file if it still runs `name`, then KILL if it lingers.
stop_pid_file() {
  local file=$1 name=$2 pid
  [[ -f $file ]] || return 0
  pid=$(<"$file")
  rm -f "$file"
  [[ $pid =~ ^[0-9]+$ ]] || return 0
  grep -qa "$name" "/proc/$pid/cmdline" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

start() {
  if [[ -f $dir/pulseaudio.pid ]]; then
    echo "sound-server: already started in $dir" >&2
    exit 1
  fi
  mkdir -p "$dir/state"
  cat >"$dir/default.pa" <<PA
load-module module-native-protocol-unix socket=$socket auth-anonymous=1
load-module module-null-sink sink_name=vimbra_null rate=44100 channels=2 format=s16le
load-module module-null-sink sink_name=vimbra_other rate=44100 channels=2 format=s16le
set-default-sink vimbra_null
PA
  HOME="$dir" XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir" PULSE_STATE_PATH="$dir/state" \
    setsid pulseaudio -n -F "$dir/default.pa" --daemonize=no --system=no --use-pid-file=no \
    --exit-idle-time=-1 --disallow-exit --disallow-module-loading \
    --log-target="file:$dir/pulseaudio.log" </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/pulseaudio.pid"

  local ready=no
  for _ in $(seq 100); do
    if [[ -S $socket ]] && pactl info >/dev/null 2>&1; then
      ready=yes
      break
    fi
    sleep 0.1
  done
  if [[ $ready != yes ]]; then
    echo "sound-server: PulseAudio did not start; its log:" >&2
    cat "$dir/pulseaudio.log" >&2 || true
    stop
    exit 1
  fi

  setsid pacat --playback --device=vimbra_null --format=s16le --rate=44100 --channels=2 --raw \
    --latency-msec=10 --client-name=vimbra-keepalive </dev/zero >/dev/null 2>&1 &
  echo $! >"$dir/keepalive.pid"
  for _ in $(seq 100); do
    pactl list sink-inputs 2>/dev/null | grep -q vimbra-keepalive && break
    sleep 0.05
  done
  echo "export PULSE_SERVER=$PULSE_SERVER"
}

stop() {
  stop_pid_file "$dir/keepalive.pid" pacat
  stop_pid_file "$dir/pulseaudio.pid" pulseaudio
}

# SIGKILL, no clean-up by the server: its clients see the connection drop. The keep-alive stream
# ends with it.
crash() {
  local pid
  if [[ -f $dir/pulseaudio.pid ]]; then
    pid=$(<"$dir/pulseaudio.pid")
    if [[ $pid =~ ^[0-9]+$ ]] && grep -qa pulseaudio "/proc/$pid/cmdline" 2>/dev/null; then
      kill -KILL "$pid" 2>/dev/null || true
      for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
    fi
    rm -f "$dir/pulseaudio.pid"
  fi
  stop_pid_file "$dir/keepalive.pid" pacat
}

case $command in
  start) start ;;
  stop) stop ;;
  kill) crash ;;
  *) usage ;;
esac
