#!/usr/bin/env bash
# bench-monitor.sh [build dir] [polls] [idle seconds]
# The monitor's CPU time per poll as Linux accounts it for its Wine process,
# with what the wineserver adds, checked against a window that burns a known
# 5 ms per poll; and its memory next to a bare tray program built the same
# way. Measured in one run under Wine on the walk-through network, the
# program beside the stand-in client libraries as the demo runs it
# (build/winNN/workstation/); then the timer messages it takes per idle
# minute, at warning (the walk-through's level: the icon blinks) and at ok
# (nothing but the poll may wake it), each counted over the idle seconds
# (60 unless given). `make bench` builds what it needs.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
polls="${2:-500}"
idle="${3:-60}"
# The build whose programs this host runs (scripts/wine-arch.sh).
windows="$build/win$("$here/../scripts/wine-arch.sh")"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$polls" "$idle"
fi
if [ -z "${BRIMLET_BENCH_SESSION:-}" ]; then
  export BRIMLET_BENCH_SESSION=1
  exec "$here/../scripts/wine-session.sh" "$windows/wineprefix" "$0" "$build" "$polls" "$idle"
fi

# A copy the benchmark may overwrite with the ok one for the idle count at
# ok: the directory limit is 25600 blocks, 22500 of them free is ok.
work="$windows/bench/monitor"
network="$work/bench.net"
cp "$here/../examples/walkthrough.net" "$network"
sed "s/^entry = 0, 25600, .*/entry = 0, 25600, 22500/" "$network" >"$work/bench-ok.net"
winpath() { echo "Z:${1//\//\\}"; }
BRIMLET_NETWORK="$(winpath "$network")" "$windows/wine-run.sh" \
  "$windows/bench/monitor/bench_monitor.exe" \
  "$(winpath "$windows/workstation/brimlet.exe")" "$(winpath "$windows/bench/monitor/bare_tray.exe")" \
  "$(winpath "$windows/bench/monitor/burn_window.exe")" "$polls" "$idle" \
  "$(winpath "$work/bench-ok.net")" </dev/null
