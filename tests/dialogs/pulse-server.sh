#!/usr/bin/env bash
# A private PulseAudio daemon with one null sink, for the sound tests.
#   pulse-server.sh start DIR   starts it with DIR as its runtime folder
#   pulse-server.sh stop DIR    stops the daemon whose pid DIR holds
# Clients reach it with XDG_RUNTIME_DIR=DIR and PULSE_SERVER=unix:DIR/pulse/native.
# Nothing outside DIR is touched, so several build trees can run at once.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?runtime folder}

pidfile="$dir/pulse/pid"

stop() {
  [[ -f $pidfile ]] || return 0
  local pid
  pid=$(cat "$pidfile")
  # Only our daemon: the pid may be stale and reused by now.
  if [[ $pid =~ ^[0-9]+$ ]] && [[ $(cat "/proc/$pid/comm" 2>/dev/null) == pulseaudio ]]; then
    kill "$pid"
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
  fi
  rm -f "$pidfile"
}

case $action in
  start)
    socket="$dir/pulse/native"
    if ((${#socket} > 100)); then
      echo "pulse-server.sh: $socket is too long for a socket path; use a shorter build folder" >&2
      exit 1
    fi
    command -v pulseaudio >/dev/null || { echo "pulse-server.sh: pulseaudio is not installed (tools/setup.sh)" >&2; exit 1; }
    mkdir -p "$dir"
    chmod 700 "$dir"
    stop  # left over from an interrupted run
    # HOME and the config folder too, so the daemon keeps its state here.
    export XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_CONFIG_HOME="$dir/config"
    unset PULSE_SERVER
    # -D returns once the daemon is ready; as root it warns and runs.
    pulseaudio -D --exit-idle-time=-1 -n --log-target="file:$dir/daemon.log" \
      --load="module-null-sink sink_name=nullsink rate=44100" \
      --load="module-native-protocol-unix auth-anonymous=1"
    PULSE_SERVER="unix:$socket" pactl info | grep -E "Server Name|Default Sink"
    ;;
  stop)
    stop
    ;;
  *)
    echo "pulse-server.sh: start or stop, not $action" >&2
    exit 2
    ;;
esac
