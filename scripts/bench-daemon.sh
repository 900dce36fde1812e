#!/usr/bin/env bash
# bench-daemon.sh [BUILD_DIR]    (default build/native; build it first)
# Two parts, both over loopback with alerts like the monitor's:
# 1. The daemon's own pace on runs of 100 000 alerts: fed from a full socket
#    buffer so that the sender does not share its processor time, next to a
#    bare loop doing the same per-entry open, append and close of a log file,
#    in entries per second and per processor second (the latter hardly moves
#    with other load on a shared machine); the loss at full speed; the highest
#    sending rate without loss (a bounded bisection).
# 2. As root: brimletd as nobody without any capability (a hand start),
#    and, at the stock limit only, as nobody with CAP_NET_ADMIN for the start
#    (as its service runs: it forces a 4 MiB buffer, then drops it), next to
#    rsyslog (imudp with rcvbufSize 4m, as root, as it is usually run) on
#    the same bursts at full speed (1000 to 20 000, three runs each) and the
#    same ladder of sending rates, with net.core.rmem_max at the kernel's
#    stock 212992 and at 4 MiB; one table of the alerts lost, the highest
#    loss-free rate, and the processor time per entry. rsyslog is installed
#    with apt-get if missing and only ever runs in the foreground, with its
#    own configuration, stopped by its pid; the sysctl is restored on exit.
#    BENCH_BASELINE=PATH adds another brimletd build (an older one, say) to
#    the table.
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
chmod 0755 "$work"  # the unprivileged daemon runs from a copy in here
daemon_pid=""
stop_daemon() {
  if [ -n "$daemon_pid" ]; then
    kill "$daemon_pid" 2>/dev/null || true
    wait "$daemon_pid" 2>/dev/null || true
    daemon_pid=""
  fi
}
receiver_pid=""
stop_receiver() {
  if [ -n "$receiver_pid" ]; then
    kill "$receiver_pid" 2>/dev/null || true
    wait "$receiver_pid" 2>/dev/null || true
    receiver_pid=""
  fi
}
found_rmem_max="$(cat /proc/sys/net/core/rmem_max)"
restore_sysctl() {
  if [ "$(cat /proc/sys/net/core/rmem_max)" != "$found_rmem_max" ]; then
    sysctl -qw net.core.rmem_max="$found_rmem_max" || true
  fi
}
trap 'stop_daemon; stop_receiver; restore_sysctl; rm -rf "$work"' EXIT

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

# ---- Part 2: brimletd next to rsyslog, per kernel limit and burst ----------
if [ "$(id -u)" -ne 0 ]; then
  echo
  echo "bench-daemon: the comparison with rsyslog needs root (the sysctl, the user" \
       "nobody, apt-get); skipped"
  exit 0
fi

stock_rmem_max=212992  # the kernel's default limit
limits=("$stock_rmem_max" 4194304)
bursts=(1000 2000 5000 10000 20000)
burst_runs=3
ladder=(20000 40000 80000 160000 0)  # datagrams per second; 0: full speed
ladder_count=120000                  # more than either receiver's queue holds
# capable: brimletd as its unit starts it, nobody with CAP_NET_ADMIN in the
# ambient set, which it uses to force its buffer and then drops; only at the
# stock limit, since the capability makes the limit irrelevant.
receivers=(brimletd capable rsyslog)
if [ -n "${BENCH_BASELINE:-}" ]; then receivers+=(baseline); fi
measured() { [ "$1" != capable ] || [ "$2" = "$stock_rmem_max" ]; }

if ! command -v rsyslogd >/dev/null; then
  echo "installing rsyslog (Debian package), which this benchmark only ever runs in the foreground"
  # No service may start from the package's scripts; a policy already in
  # place is left as it is.
  made_policy=""
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
    chmod 0755 /usr/sbin/policy-rc.d
    made_policy=yes
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends rsyslog >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends rsyslog >/dev/null; }
  if [ -n "$made_policy" ]; then rm -f /usr/sbin/policy-rc.d; fi
fi

# The unprivileged daemon runs from a copy that nobody can reach, in a
# working folder that nobody can write.
mkdir -p "$work/programs" "$work/nobody" "$work/rsyslog"
chmod 0777 "$work/nobody"
cp "$daemon" "$work/programs/brimletd"
if [ -n "${BENCH_BASELINE:-}" ]; then cp "$BENCH_BASELINE" "$work/programs/baseline"; fi
chmod 0755 "$work/programs" "$work/programs/"*

# wait_bound ADDRESS: waits (5 s at most) until a UDP socket is bound to
# ADDRESS (hex as in /proc/net/udp, e.g. 0100007F:BB80).
wait_bound() {
  for _ in $(seq 50); do
    awk '{ print $2 }' /proc/net/udp | grep -q "^$1\$" && return 0
    sleep 0.1
  done
  echo "bench-daemon: nothing bound $1" >&2
  exit 1
}

# start_receiver NAME: sets receiver_pid, port, receiver_log, entry_bytes.
start_receiver() {
  port="$("$sender" free-port)"
  case "$1" in
    brimletd | baseline | capable)
      local program=$1 granted=()
      if [ "$1" = capable ]; then
        program=brimletd
        granted=(--bounding-set=-all,+net_admin --inh-caps=+net_admin --ambient-caps=+net_admin)
      fi
      rm -f "$work/nobody/brimletlog.txt"
      (cd "$work/nobody" &&
        exec setpriv --reuid=nobody --regid=nogroup --clear-groups "${granted[@]}" \
          "$work/programs/$program" "$port" N >/dev/null) &
      receiver_pid=$!
      receiver_log="$work/nobody/brimletlog.txt"
      entry_bytes=64  # "dd-MM-yyyy HH:mm:ss," the alert, "\n"
      wait_bound "$(printf '00000000:%04X' "$port")"
      ;;
    rsyslog)
      receiver_log="$work/rsyslog/alerts.log"
      rm -f "$receiver_log"
      cat >"$work/rsyslog/rsyslog.conf" <<CONF
global(workDirectory="$work/rsyslog")
module(load="imudp")
input(type="imudp" address="127.0.0.1" port="$port" rcvbufSize="4m")
template(name="alertOnly" type="string" string="%rawmsg%\n")
# rsyslogd's own messages stay out of the count.
if \$inputname == "imudp" then {
  action(type="omfile" file="$receiver_log" template="alertOnly")
}
CONF
      rsyslogd -n -f "$work/rsyslog/rsyslog.conf" -i "$work/rsyslog/rsyslogd.pid" \
        >/dev/null 2>&1 &
      receiver_pid=$!
      entry_bytes=44  # the alert and "\n"
      wait_bound "$(printf '0100007F:%04X' "$port")"
      ;;
  esac
}

# Processor time of a process and all its threads, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
ticks_per_second="$(getconf CLK_TCK)"

declare -A lost_in loss_free cpu_per_entry
measure() {
  local name=$1 limit=$2 logged_total=0 ticks_before sent seconds logged lost
  sysctl -qw net.core.rmem_max="$limit"
  start_receiver "$name"
  ticks_before="$(cpu_ticks "$receiver_pid")"
  for burst in "${bursts[@]}"; do
    local runs=""
    for _ in $(seq "$burst_runs"); do
      read -r sent seconds logged lost _ < \
        <("$sender" rate "$port" "$burst" 0 "$receiver_log" "$entry_bytes")
      runs="${runs:+$runs/}$lost"
      logged_total=$((logged_total + logged))
    done
    lost_in[$name,$limit,$burst]=$runs
  done
  cpu_per_entry[$name,$limit]="$(awk "BEGIN { printf \"%.1f\", \
    ($(cpu_ticks "$receiver_pid") - $ticks_before) / $ticks_per_second * 1e6 / $logged_total }")"
  # The ladder stops at the first rate that loses.
  loss_free[$name,$limit]="none"
  for rate in "${ladder[@]}"; do
    read -r sent seconds logged lost _ < \
      <("$sender" rate "$port" "$ladder_count" "$rate" "$receiver_log" "$entry_bytes")
    [ "$lost" -eq 0 ] || break
    if [ "$rate" = 0 ]; then
      loss_free[$name,$limit]="full $(calc "$sent / $seconds")"
    else
      loss_free[$name,$limit]=$rate
    fi
  done
  stop_receiver
  echo "  measured $name with net.core.rmem_max=$limit"
}

echo
echo "receivers side by side (bursts at full speed, $burst_runs runs each; ladder" \
     "${ladder[*]} per second (0: full speed) with runs of $ladder_count; found" \
     "net.core.rmem_max=$found_rmem_max, restored afterwards):"
for limit in "${limits[@]}"; do
  for name in "${receivers[@]}"; do
    if measured "$name" "$limit"; then measure "$name" "$limit"; fi
  done
done
restore_sysctl

echo
label() {
  case "$1" in
    brimletd) echo "brimletd (nobody)" ;;
    capable) echo "brimletd (nobody + CAP_NET_ADMIN, dropped)" ;;
    baseline) echo "baseline (nobody)" ;;
    rsyslog) echo "rsyslog (root)" ;;
  esac
}
printf '%-43s %-9s' "receiver" "rmem_max"
for burst in "${bursts[@]}"; do printf ' %-14s' "lost of $burst"; done
printf ' %-16s %s\n' "loss-free rate/s" "cpu us/entry"
for limit in "${limits[@]}"; do
  for name in "${receivers[@]}"; do
    measured "$name" "$limit" || continue
    printf '%-43s %-9s' "$(label "$name")" "$limit"
    for burst in "${bursts[@]}"; do printf ' %-14s' "${lost_in[$name,$limit,$burst]}"; done
    printf ' %-16s %s\n' "${loss_free[$name,$limit]}" "${cpu_per_entry[$name,$limit]}"
  done
done
