#!/usr/bin/env bash
# bench-daemon.sh [BUILD_DIR]    (default build/native; build it first)
# Loads a native brimletd over loopback with runs of 100 000 alert datagrams
# like the monitor's and prints:
#  - the daemon's own pace, fed from a full socket buffer so that the sender
#    does not share its processor time, next to a bare loop doing the same
#    per-entry open, append and close of a log file (the daemon should stay
#    within 10 % of it), in entries per second and per processor second (the
#    latter hardly moves with other load on a shared machine);
#  - the loss when sending at full speed;
#  - the highest sending rate without loss (a bounded bisection).
# A benchmark: it prints figures and asserts nothing.
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
pace_rounds=5
drain_batch=4000  # fits in the 4 MiB socket buffer the daemon asks for
search_steps=5

work="$(mktemp -d)"
daemon_pid=""
stop_daemon() {
  if [ -n "$daemon_pid" ]; then
    kill "$daemon_pid" 2>/dev/null || true
    wait "$daemon_pid" 2>/dev/null || true
    daemon_pid=""
  fi
}
trap 'stop_daemon; rm -rf "$work"' EXIT

calc() { awk "BEGIN { printf \"%.0f\", $1 }"; }
best() { awk "BEGIN { print ($1 > $2) ? $1 : $2 }"; }
percent() { awk "BEGIN { printf \"%.1f\", 100 * $1 / $2 }"; }

# start_daemon CONSOLE: a daemon on a free port in the work directory, with
# its console sent to CONSOLE; sets port and daemon_pid once it listens.
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

# yardsticks: both append loops, on the same file system as the daemon's log;
# loop_rate and raw_rate keep the best rate of each, loop_cpu and raw_cpu the
# best rate per processor second.
loop_rate=0
raw_rate=0
loop_cpu=0
raw_cpu=0
yardsticks() {
  local rate cpu
  read -r _ _ rate cpu < <("$loop" "$count" "$work/stdio.txt" stdio)
  loop_rate=$(best "$loop_rate" "$rate")
  loop_cpu=$(best "$loop_cpu" "$cpu")
  read -r _ _ rate cpu < <("$loop" "$count" "$work/syscalls.txt" syscalls)
  raw_rate=$(best "$raw_rate" "$rate")
  raw_cpu=$(best "$raw_cpu" "$cpu")
  rm -f "$work/stdio.txt" "$work/syscalls.txt"
}

# drain: the running daemon's own pace; daemon_pace and daemon_cpu keep the
# best one per second and per processor second.
daemon_pace=0
daemon_cpu=0
drain() {
  local seconds logged lost pace cpu
  read -r _ seconds logged lost pace cpu < \
    <("$sender" drain "$daemon_pid" "$port" "$count" "$drain_batch" "$work/brimletlog.txt")
  echo "  alone on queued batches of $drain_batch: logged $logged of $count" \
       "in $seconds s busy = $pace entries/s, $cpu per processor second (lost $lost)"
  daemon_pace=$(best "$daemon_pace" "$pace")
  daemon_cpu=$(best "$daemon_cpu" "$cpu")
}

# send_at RATE: $count datagrams at RATE per second (0: full speed); sets
# lost and sent_rate.
send_at() {
  local sent seconds logged
  read -r sent seconds logged lost _ < \
    <("$sender" rate "$port" "$count" "$1" "$work/brimletlog.txt")
  sent_rate="$(calc "$sent / $seconds")"
  printf '  sending at %8s/s: sent %d in %s s, logged %d, lost %d\n' \
    "$([ "$1" = 0 ] && echo "full $sent_rate" || echo "$1")" "$sent" "$seconds" "$logged" "$lost"
}

echo "daemon with its console to a file, level switch off:"
start_daemon "$work/console.txt"
drain
file_console_pace=$daemon_pace
daemon_pace=0
stop_daemon

# The machine may be shared: the loops and the daemon take turns and the
# best of each counts, which filters out most of the other load.
echo "daemon with its console to /dev/null (as the loops), level switch off:"
start_daemon /dev/null
for _ in $(seq "$pace_rounds"); do
  yardsticks
  drain
done
echo "  append loops, best of $pace_rounds: C stdio $loop_rate entries/s" \
     "($loop_cpu per processor second), bare system calls $raw_rate entries/s ($raw_cpu)"

send_at 0
full_lost=$lost
full_rate=$sent_rate

# Bisect between a rate known to be loss-free and one known to lose.
if [ "$full_lost" -eq 0 ]; then
  best_rate=$full_rate
else
  low="$(calc "$daemon_pace / 3")"
  high=$full_rate
  send_at "$low"
  if [ "$lost" -ne 0 ]; then high=$low; low="$(calc "$low / 4")"; send_at "$low"; fi
  if [ "$lost" -ne 0 ]; then
    best_rate=0
  else
    for _ in $(seq "$search_steps"); do
      middle="$(calc "($low + $high) / 2")"
      send_at "$middle"
      if [ "$lost" -eq 0 ]; then low=$middle; else high=$middle; fi
    done
    best_rate=$low
  fi
fi
stop_daemon

within() { awk "BEGIN { print ($1 >= 0.9 * $2) ? \"yes\" : \"no\" }"; }
echo
echo "daemon pace, alone, best of $pace_rounds: $daemon_pace entries/s" \
     "= $(percent "$daemon_pace" "$loop_rate") % of the C stdio loop" \
     "(within 10 %: $(within "$daemon_pace" "$loop_rate"))," \
     "$(percent "$daemon_pace" "$raw_rate") % of the bare system-call loop"
echo "  per processor second: $daemon_cpu entries" \
     "= $(percent "$daemon_cpu" "$loop_cpu") % of the C stdio loop" \
     "(within 10 %: $(within "$daemon_cpu" "$loop_cpu"))," \
     "$(percent "$daemon_cpu" "$raw_cpu") % of the bare system-call loop"
echo "  with its console to a file: $file_console_pace entries/s" \
     "= $(percent "$file_console_pace" "$loop_rate") % of the C stdio loop"
echo "loss at full speed: $full_lost of $count (sent at $full_rate datagrams/s)"
echo "highest sending rate without loss: $best_rate datagrams/s"
