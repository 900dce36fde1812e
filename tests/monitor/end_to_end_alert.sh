#!/usr/bin/env bash
# end_to_end_alert.sh BRIMLETD BRIMLET_EXE WINE_RUN EXAMPLES_DIR
# brimlet.exe under Wine and the native brimletd exchange the walk-through's
# warning over loopback; the log line must be exactly the entry format.
set -uo pipefail
daemon="$1"; monitor="$2"; wine_run="$3"; examples="$4"

work=$(mktemp -d)
daemon_pid=""; monitor_pid=""
cleanup() {
  [ -n "$monitor_pid" ] && kill "$monitor_pid" 2>/dev/null
  [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$work" && exec "$daemon" "$port" N) >"$work/daemon.out" 2>&1 &
daemon_pid=$!

cp "$examples/walkthrough.net" "$work/network.net"
network="Z:${work//\//\\}\\network.net"
# One argument per token: Wine would quote a single argument with blanks.
BRIMLET_NETWORK="$network" "$wine_run" "$monitor" 'H:\' 3600 75 95 % N N 127.0.0.1 "$port" \
  </dev/null >"$work/monitor.out" 2>&1 &
monitor_pid=$!

expected='^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2},Warning,user1,80%,20\.00 Mb free,102\.40 Mb max$'
for _ in $(seq 1 100); do
  if [ -s "$work/brimletlog.txt" ]; then
    break
  fi
  sleep 0.2
done
if [ ! -s "$work/brimletlog.txt" ]; then
  echo "no log entry within 20 s"; echo "daemon:"; cat "$work/daemon.out"; exit 1
fi
line=$(cat "$work/brimletlog.txt")
echo "log: $line"
if ! grep -Eq "$expected" <<<"$line" || [ "$(wc -l <"$work/brimletlog.txt")" -ne 1 ]; then
  echo "unexpected log content"; exit 1
fi
grep -Eq "${expected#^}" "$work/daemon.out" || { echo "entry not echoed on the console"; cat "$work/daemon.out"; exit 1; }
echo "1 passed, 0 failed"
