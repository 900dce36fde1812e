#!/usr/bin/env bash
# bench-daemon.sh [BUILD_DIR]    (default build/native; build it first)
# Loads a native brimletd over loopback with runs of 100 000 alert datagrams
# like the monitor's and prints: the loss at full speed, the highest sending
# rate without loss (a bounded search), and the daemon's own pace (fed from a
# full socket buffer, so that the sender does not share its processor time)
# next to a bare loop doing the same per-entry open, append and close of a
# log file, which the daemon should stay within 10 % of. A benchmark: it
# prints figures and asserts nothing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/native}" && pwd)"
daemon="$build/daemon/brimletd"
sender="$build/daemon/bench/brimletd_bench_sender"
loop="$build/daemon/bench/brimletd_bench_append"
for program in "$daemon" "$sender" "$loop"; do
  if [ ! -x "$program" ]; then
    echo "bench-daemon: $program is missing; build the targets brimletd," \
         "brimletd_bench_sender and brimletd_bench_append in $build" >&2
    exit 1
  fi
done

count=100000
search_steps=5
drain_batch=4000  # fits in the 4 MiB socket buffer the daemon asks for
work="$(mktemp -d)"
daemon_pid=""
cleanup() {
  if [ -n "$daemon_pid" ]; then
    kill "$daemon_pid" 2>/dev/null || true
    wait "$daemon_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

calc() { awk "BEGIN { printf \"%.0f\", $1 }"; }

# The yardsticks, on the same file system as the daemon's log.
read -r _ loop_seconds loop_rate < <("$loop" "$count" "$work/stdio.txt" stdio)
read -r _ raw_seconds raw_rate < <("$loop" "$count" "$work/syscalls.txt" syscalls)
echo "append loop, C stdio:        $count entries in ${loop_seconds} s = $loop_rate entries/s"
echo "append loop, system calls:   $count entries in ${raw_seconds} s = $raw_rate entries/s"

# start_daemon CONSOLE: a daemon on a free port in the work directory, with
# its console sent to CONSOLE; sets port and daemon_pid.
start_daemon() {
  port="$("$sender" free-port)"
  (cd "$work" && exec "$daemon" "$port" N >"$1") &
  daemon_pid=$!
  local bound
  bound="$(printf '00000000:%04X' "$port")"
  for _ in $(seq 50); do
    awk '{ print $2 }' /proc/net/udp | grep -q "^$bound\$" && return 0
    sleep 0.1
  done
  echo "bench-daemon: the daemon did not bind port $port" >&2
  exit 1
}

stop_daemon() {
  kill "$daemon_pid" 2>/dev/null || true
  wait "$daemon_pid" 2>/dev/null || true
  daemon_pid=""
}

# drain: the daemon's own pace; sets daemon_pace.
drain() {
  local seconds logged lost
  read -r _ seconds logged lost daemon_pace < \
    <("$sender" drain "$daemon_pid" "$port" "$count" "$drain_batch" "$work/brimletlog.txt")
  echo "  working alone on queued batches of $drain_batch: logged $logged of $count" \
       "in ${seconds} s busy = $daemon_pace entries/s (lost $lost)"
}

echo "daemon, level switch off, console to a file:"
start_daemon "$work/console.txt"
drain
file_console_pace=$daemon_pace
stop_daemon

echo "daemon, level switch off, console to /dev/null (like the append loops):"
start_daemon /dev/null
# run RATE: one batch of $count datagrams at RATE per second (0: full speed);
# sets lost and pace (entries the daemon wrote per second while busy).
run() {
  local sent seconds logged
  read -r sent seconds logged lost pace < \
    <("$sender" rate "$port" "$count" "$1" "$work/brimletlog.txt")
  printf '  rate %8s/s: sent %d in %s s, logged %d, lost %d\n' \
    "$([ "$1" = 0 ] && echo full || echo "$1")" "$sent" "$seconds" "$logged" "$lost"
  sent_rate="$(calc "$sent / $seconds")"
}

drain
run 0
full_lost=$lost
full_rate=$sent_rate

# Bisect between a rate known to be loss-free and one known to lose.
if [ "$full_lost" -eq 0 ]; then
  best=$full_rate
else
  low="$(calc "$daemon_pace / 3")"
  high=$full_rate
  run "$low"
  if [ "$lost" -ne 0 ]; then high=$low; low="$(calc "$low / 4")"; run "$low"; fi
  if [ "$lost" -ne 0 ]; then
    best=0
  else
    for _ in $(seq "$search_steps"); do
      middle="$(calc "($low + $high) / 2")"
      run "$middle"
      if [ "$lost" -eq 0 ]; then low=$middle; else high=$middle; fi
    done
    best=$low
  fi
fi

percent() { awk "BEGIN { printf \"%.1f\", 100 * $1 / $2 }"; }
within="$(awk "BEGIN { print ($daemon_pace >= 0.9 * $loop_rate) ? \"yes\" : \"no\" }")"
echo
echo "loss at full speed:        $full_lost of $count (sent at $full_rate datagrams/s)"
echo "highest rate without loss: $best datagrams/s"
echo "daemon pace, working alone: $daemon_pace entries/s =" \
     "$(percent "$daemon_pace" "$loop_rate") % of the C stdio loop (within 10 %: $within)," \
     "$(percent "$daemon_pace" "$raw_rate") % of the system-call loop"
echo "  with its console to a file: $file_console_pace entries/s =" \
     "$(percent "$file_console_pace" "$loop_rate") % of the C stdio loop"
