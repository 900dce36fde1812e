#!/usr/bin/env bash
# bench-journal.sh [BUILD_DIR]    (default build/native; as root)
# The journal path: brimletd with its alerts as journal entries (its console
# a journal stream, as under systemd) against rsyslog (imudp -> omjournal),
# both into one private systemd-journald, started here in the foreground in
# a private mount namespace (tmpfs on /run and /etc/systemd, volatile
# storage, rate limiting off) and stopped by its pid. Each side gets three
# bursts of 20 000 alerts at full speed and 60 000 at 20 000 a second; the
# entries stored are counted in the journal by SYSLOG_IDENTIFIER. Processor
# time per stored entry: the receiver's own, journald's during that side's
# run, and their sum. The aim: brimletd's own time at most half of
# rsyslog's own, nothing lost; journald's time, which the two senders' entries
# cost it, is printed beside for both, and "waits": the times per stored
# entry that the receiver's threads slept and were woken again. With
# BRIMLETD_COMPARED=PATH another
# brimletd build (the one before a change) runs too, in the same run, and
# its figures and ratio are printed beside. A benchmark: it prints figures
# and asserts nothing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench=bench-journal
# shellcheck source=daemon/measures.sh
source "$root/bench/daemon/measures.sh"
build="$(cd "${1:-$root/build/native}" && pwd)"
daemon="$build/daemon/brimletd"
sender="$build/bench/daemon/brimletd_bench_sender"
stream="$build/bench/daemon/brimletd_journal_stream"
journald=/lib/systemd/systemd-journald
compared="${BRIMLETD_COMPARED:-}"
for program in "$daemon" "$sender" "$stream" ${compared:+"$compared"}; do
  if [ ! -x "$program" ]; then
    echo "bench-journal: $program is missing; build the targets brimletd," \
         "brimletd_bench_sender and brimletd_journal_stream in $build" >&2
    exit 1
  fi
done
if [ "$(id -u)" -ne 0 ]; then
  echo "bench-journal: needs root (a mount namespace, journald, rsyslog); skipped"
  exit 0
fi
for need in "$journald:systemd" /usr/sbin/rsyslogd:rsyslog \
            "/usr/lib/x86_64-linux-gnu/rsyslog/omjournal.so:rsyslog"; do
  if [ ! -e "${need%%:*}" ]; then
    echo "bench-journal: ${need%%:*} is missing (Debian package ${need##*:}); skipped" >&2
    exit 0
  fi
done
# Everything below runs in a mount namespace of its own: the private /run
# and journal go with it.
if [ -z "${BENCH_JOURNAL_NAMESPACE:-}" ]; then
  if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "bench-journal: unshare --mount refused; skipped"
    exit 0
  fi
  exec unshare --mount --propagation private env BENCH_JOURNAL_NAMESPACE=1 "$0" "$build"
fi

burst=20000
burst_runs=3
steady=60000
steady_rate=20000
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
mount -t tmpfs -o mode=0755 tmpfs /run
mount -t tmpfs -o mode=0755 tmpfs /etc/systemd
cat >/etc/systemd/journald.conf <<CONF
[Journal]
Storage=volatile
RateLimitIntervalSec=0
RateLimitBurst=0
ForwardToSyslog=no
ForwardToWall=no
ForwardToConsole=no
ReadKMsg=no
CONF
"$journald" >/dev/null 2>&1 &
journald_pid=$!
pids+=("$journald_pid")
for _ in $(seq 100); do [ -S /run/systemd/journal/stdout ] && break; sleep 0.05; done

# Times its threads gave up the processor to wait (woken again each time).
switches() {
  cat "/proc/$1"/task/*/status 2>/dev/null |
    awk '/^voluntary_ctxt_switches/ { s += $2 } END { printf "%.0f\n", s }'
}
# stored IDENTIFIER PATTERN: the alerts the journal holds from one side,
# once the count has settled (10 s at most).
stored() {
  local count last=-1
  for _ in $(seq 20); do
    count="$(journalctl -D /run/log/journal -t "$1" -o cat --no-pager | grep -c "$2" || true)"
    [ "$count" = "$last" ] && break
    last=$count
    sleep 0.5
  done
  echo "$count"
}

declare -A own_cpu journal_cpu total_cpu kept lost waits
measure() {
  local name=$1 port receiver_pid log ticks journal_ticks sent=0 identifier pattern count base
  local waited
  port="$("$sender" free-port)"
  mkdir -p "$work/$name"
  log="$work/$name/log"
  if [ "$name" != rsyslog ]; then
    local program="$daemon"
    [ "$name" = compared ] && program="$compared"
    (cd "$work/$name" && exec "$stream" brimletd "$program" "$port" N) &
    receiver_pid=$!
    pids+=("$receiver_pid")
    log="$work/$name/brimletlog.txt"
    identifier=brimletd
    pattern=',Danger,user1,100%'
    # The dual-stack socket on ::, or IPv4 alone on a host without IPv6.
    wait_bound "(0{8}|0{32}):$(printf '%04X' "$port")"
  else
    cat >"$work/$name/rsyslog.conf" <<CONF
global(workDirectory="$work/$name")
module(load="imudp")
module(load="omjournal")
input(type="imudp" address="127.0.0.1" port="$port" rcvbufSize="4m")
template(name="alertEntry" type="list") {
  property(outname="MESSAGE" name="rawmsg")
  constant(outname="SYSLOG_IDENTIFIER" value="rsyslog-alerts")
  constant(outname="PRIORITY" value="2")
}
if \$inputname == "imudp" then {
  action(type="omjournal" template="alertEntry")
}
CONF
    rsyslogd -n -f "$work/$name/rsyslog.conf" -i "$work/$name/rsyslogd.pid" >/dev/null 2>&1 &
    receiver_pid=$!
    pids+=("$receiver_pid")
    identifier=rsyslog-alerts
    pattern='^Danger,user1,100%'
    wait_bound "$(printf '0100007F:%04X' "$port")"
  fi
  base="$(stored "$identifier" "$pattern")"  # both brimletd builds log under one identifier
  ticks="$(cpu_ticks "$receiver_pid")"
  journal_ticks="$(cpu_ticks "$journald_pid")"
  waited="$(switches "$receiver_pid")"
  # brimletd's log file tells the sender when it has settled; rsyslog's
  # side writes no file, so its sender waits for the settle time alone.
  for _ in $(seq "$burst_runs"); do
    read -r count _ < <("$sender" rate "$port" "$burst" 0 "$log")
    sent=$((sent + count))
  done
  read -r count _ < <("$sender" rate "$port" "$steady" "$steady_rate" "$log")
  sent=$((sent + count))
  kept[$name]=$(($(stored "$identifier" "$pattern") - base))
  lost[$name]=$((sent - kept[$name]))
  ticks=$(($(cpu_ticks "$receiver_pid") - ticks))
  journal_ticks=$(($(cpu_ticks "$journald_pid") - journal_ticks))
  waits[$name]="$(awk "BEGIN { printf \"%.3f\", ($(switches "$receiver_pid") - $waited) / \
    (${kept[$name]} > 0 ? ${kept[$name]} : 1) }")"
  own_cpu[$name]="$(per_entry "$ticks" "${kept[$name]}")"
  journal_cpu[$name]="$(per_entry "$journal_ticks" "${kept[$name]}")"
  total_cpu[$name]="$(per_entry $((ticks + journal_ticks)) "${kept[$name]}")"
  kill "$receiver_pid"
  wait "$receiver_pid" 2>/dev/null || true
}

echo "bench-journal: $burst_runs bursts of $burst at full speed, then $steady at" \
     "$steady_rate/s, into one private journald (rate limiting off)"
sides="brimletd rsyslog"
[ -n "$compared" ] && sides="compared brimletd rsyslog"
for name in $sides; do
  measure "$name"
  echo "  measured $name"
done
echo
printf '%-44s %8s %6s %10s %10s %10s %8s\n' "receiver" "stored" "lost" "own us" "journald us" \
  "sum us" "waits"
printf '%-44s %8s %6s %10s %10s %10s %8s\n' "brimletd (journal entries, log file too)" \
  "${kept[brimletd]}" "${lost[brimletd]}" "${own_cpu[brimletd]}" "${journal_cpu[brimletd]}" \
  "${total_cpu[brimletd]}" "${waits[brimletd]}"
printf '%-44s %8s %6s %10s %10s %10s %8s\n' "rsyslog (imudp -> omjournal)" \
  "${kept[rsyslog]}" "${lost[rsyslog]}" "${own_cpu[rsyslog]}" "${journal_cpu[rsyslog]}" \
  "${total_cpu[rsyslog]}" "${waits[rsyslog]}"
if [ -n "$compared" ]; then
  printf '%-44s %8s %6s %10s %10s %10s %8s\n' "brimletd, compared build" \
    "${kept[compared]}" "${lost[compared]}" "${own_cpu[compared]}" \
    "${journal_cpu[compared]}" "${total_cpu[compared]}" "${waits[compared]}"
  awk "BEGIN { printf \"compared build / rsyslog: own %.2f (aim: at most 0.50); this build /\" \
                     \" compared: own %.2f\\n\", \
    ${own_cpu[compared]} / (${own_cpu[rsyslog]} > 0 ? ${own_cpu[rsyslog]} : 1),
    ${own_cpu[brimletd]} / (${own_cpu[compared]} > 0 ? ${own_cpu[compared]} : 1) }"
fi
awk "BEGIN { printf \"brimletd / rsyslog, processor time per stored entry: own %.2f (aim: at most 0.50);\" \
                   \" journald's %.2f, sum %.2f\\n\", \
  ${own_cpu[brimletd]} / (${own_cpu[rsyslog]} > 0 ? ${own_cpu[rsyslog]} : 1),
  ${journal_cpu[brimletd]} / (${journal_cpu[rsyslog]} > 0 ? ${journal_cpu[rsyslog]} : 1),
  ${total_cpu[brimletd]} / (${total_cpu[rsyslog]} > 0 ? ${total_cpu[rsyslog]} : 1) }"
