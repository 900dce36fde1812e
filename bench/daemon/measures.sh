# measures.sh: the measures bench-daemon.sh and bench-journal.sh take alike,
# sourced by both; `bench` names the calling benchmark in its messages.

# Processor time of a process and all its threads, in nanoseconds: the
# scheduler's own count of each thread's time on a processor, not the clock
# ticks of /proc/PID/stat, whose 10 ms would be a sixth of a burst's figure
# at 1 us per entry. (Without schedstat: the ticks, in nanoseconds.)
ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() {
  if [ -r "/proc/$1/schedstat" ]; then
    cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
  else
    awk "{ printf \"%.0f\\n\", (\$14 + \$15) * 1e9 / $ticks_per_second }" "/proc/$1/stat"
  fi
}

# per_entry NANOSECONDS ENTRIES: microseconds per entry.
per_entry() { awk "BEGIN { printf \"%.2f\", $1 / 1e3 / ($2 > 0 ? $2 : 1) }"; }

# wait_bound ADDRESS: waits (5 s at most) until a UDP socket is bound to
# ADDRESS (an extended regular expression of the hex form in /proc/net/udp
# and udp6, e.g. 0100007F:BB80).
wait_bound() {
  for _ in $(seq 50); do
    awk '{ print $2 }' /proc/net/udp /proc/net/udp6 | grep -Eq "^$1\$" && return 0
    sleep 0.1
  done
  echo "$bench: nothing bound $1" >&2
  exit 1
}
