#!/usr/bin/env bash
# demo.sh [build dir]
# Starts the monitor on the default command line under Wine (on the user's
# display when there is one, else in a private Xvfb), lets it run a moment,
# and stops it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:-build}" && pwd)"
win32="$build/win32"

if [ -z "${DISPLAY:-}" ] && [ -z "${BRIMLET_DEMO_IN_XVFB:-}" ]; then
  export BRIMLET_DEMO_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi


echo "demo: starting brimlet.exe with the default settings"
"$here/wine-session.sh" "$win32/wineprefix" bash -c '
  "$1/wine-run.sh" "$1/monitor/brimlet.exe" &
  pid=$!
  sleep 5
  if kill -0 $pid 2>/dev/null; then
    echo "demo: the monitor is running (its icon is in the notification area)"
  else
    echo "demo: the monitor did not start" >&2
    exit 1
  fi
  kill $pid
  wait $pid 2>/dev/null || true
  echo "demo: stopped"
' demo "$win32"
