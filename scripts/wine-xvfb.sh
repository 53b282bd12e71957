#!/bin/bash
# Starts or stops the virtual X display for Wine tests that need one (the notification area).
# Usage: wine-xvfb.sh start|stop <state-dir>
# start picks a free display number and writes it to <state-dir>/display.
set -u

action=${1:-}
state=${2:-}
[[ -n "$state" ]] || { echo "usage: wine-xvfb.sh start|stop <state-dir>" >&2; exit 2; }

# A killed server may linger as a zombie when nothing reaps orphans (containers).
alive() {
  local stat
  stat=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ "$stat" != Z* ]]
}

stop() {
  [[ -s "$state/pid" ]] || return 0
  local pid
  pid=$(cat "$state/pid")
  if kill "$pid" 2>/dev/null; then
    for _ in $(seq 50); do
      alive "$pid" || break
      sleep 0.1
    done
    alive "$pid" && kill -9 "$pid" 2>/dev/null
  fi
  rm -f -- "$state/pid" "$state/display"
}

case "$action" in
  start)
    mkdir -p -- "$state"
    stop  # left over from an interrupted run
    : >"$state/display"
    # -displayfd: the server chooses a free number and reports it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 300); do
      [[ -s "$state/display" ]] && break
      alive "$(cat "$state/pid")" || break
      sleep 0.1
    done
    if [[ ! -s "$state/display" ]]; then
      echo "wine-xvfb.sh: Xvfb did not start" >&2
      cat "$state/xvfb.log" >&2
      stop
      exit 1
    fi
    echo "Xvfb running on :$(head -n 1 "$state/display")"
    ;;
  stop)
    stop
    echo "Xvfb stopped"
    ;;
  *)
    echo "usage: wine-xvfb.sh start|stop <state-dir>" >&2
    exit 2
    ;;
esac
