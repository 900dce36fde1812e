#!/usr/bin/env bash
# bench-report.sh [BUILD_DIR]    (default build/native; build brimlet-report first)
# brimlet-report on a generated log of 1 000 000 entries from 10 000 users,
# against `wc -l` and `LC_ALL=C sort | uniq -c` over the same file: wall
# time and processor time (best of three each, the file in the page cache),
# the ratios to `wc -l` and the peak resident memory of each. A benchmark: it prints figures and
# asserts nothing. The anchor: brimlet-report within 3 times `wc -l`.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/native}" && pwd)"
report="$build/report/brimlet-report"
if [ ! -x "$report" ]; then
  echo "bench-report: $report is missing; build the target brimlet-report in $build" >&2
  exit 1
fi
if [ ! -x /usr/bin/time ]; then
  echo "bench-report: needs GNU time (Debian package time) for the peak memory" >&2
  exit 1
fi
entries=1000000
users=10000
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
log="$work/brimletlog.txt"

# Alerts like the monitor's, a user's percentage rising through the day.
awk -v n="$entries" -v users="$users" 'BEGIN {
  for (i = 0; i < n; i++) {
    u = i % users; step = int(i / users)
    s = int(i / 12); sec = s % 60; min = int(s / 60) % 60; hour = int(s / 3600) % 24
    day = 1 + int(s / 86400) % 28
    pct = 80 + (u + step) % 21
    printf "%02d-03-2001 %02d:%02d:%02d,%s,user%05d,%d%%,%.2f Mb free,48.83 Mb max\n",
      day, hour, min, sec, (pct >= 95 ? "Danger" : "Warning"), u, pct, 48.83 * (100 - pct) / 100
  }
}' >"$log"
cat "$log" >/dev/null  # into the page cache

# best_of COMMAND: "seconds cpu_seconds peak_kib": the fastest of three
# runs by the wall clock and by processor time (user + system, which a busy
# shared machine disturbs far less), both to the millisecond from the
# shell's own accounting (wc -l takes a few hundredths of a second: GNU
# time's hundredths would move its ratio by a third), and the peak memory,
# from GNU time.
best_of() {
  local best="" best_cpu="" kib wall user system
  for _ in 1 2 3; do
    read -r wall user system < <({ TIMEFORMAT='%3R %3U %3S'; time bash -c "$1" >/dev/null 2>&1; } 2>&1)
    local cpu; cpu=$(awk "BEGIN { print $user + $system }")
    if [ -z "$best" ] || awk "BEGIN { exit !($wall < $best) }"; then best="$wall"; fi
    if [ -z "$best_cpu" ] || awk "BEGIN { exit !($cpu < $best_cpu) }"; then best_cpu="$cpu"; fi
  done
  kib="$(/usr/bin/time -f '%M' bash -c "$1" 2>&1 >/dev/null | tail -n 1)"
  if [ -n "${shell_s:-}" ]; then  # less the shell's own start
    best=$(awk "BEGIN { d = $best - $shell_s; printf \"%.3f\", (d > 0.001 ? d : 0.001) }")
    best_cpu=$(awk "BEGIN { d = $best_cpu - $shell_cpu; printf \"%.3f\", (d > 0.001 ? d : 0.001) }")
  fi
  echo "$best $best_cpu $kib"
}
# Each command runs under `bash -c`, whose own start (some 10 to 20 ms on a
# virtual machine) would otherwise be half of wc's figure: it is measured
# alone and taken off every figure.
read -r shell_s shell_cpu _ < <(best_of ":")
read -r wc_s wc_cpu wc_kib < <(best_of "wc -l '$log'")
read -r sort_s sort_cpu sort_kib < <(best_of "LC_ALL=C sort '$log' | uniq -c")
read -r table_s table_cpu table_kib < <(best_of "'$report' '$log'")
# REPORT_COMPARED=PATH: another build (the one before a change), in this run.
compared="${REPORT_COMPARED:-}"
[ -n "$compared" ] && read -r old_s old_cpu old_kib < <(best_of "'$compared' '$log'")
read -r json_s json_cpu json_kib < <(best_of "'$report' --format json '$log'")
read -r prom_s prom_cpu prom_kib < <(best_of "'$report' --per-user --prometheus '$work/b.prom' '$log'")

ratio() { awk "BEGIN { printf \"%.1f\", $1 / ($2 > 0 ? $2 : 0.001) }"; }
row() {  # name wall cpu kib
  printf '%-40s %8s %8s %9s %9s %12s\n' "$1" "$2" "$(ratio "$2" "$wc_s")" "$3" \
    "$(ratio "$3" "$wc_cpu")" "$4"
}
echo "bench-report: $entries entries, $users users, $(du -m "$log" | cut -f1) MB; best of three," \
  "less the shell's own start ($shell_s s wall, $shell_cpu s processor time)"
printf '%-40s %8s %8s %9s %9s %12s\n' "command" "wall s" "x wc -l" "cpu s" "x wc -l" "peak RSS KiB"
row "wc -l" "$wc_s" "$wc_cpu" "$wc_kib"
row "LC_ALL=C sort | uniq -c (sort's RSS)" "$sort_s" "$sort_cpu" "$sort_kib"
row "brimlet-report (table)" "$table_s" "$table_cpu" "$table_kib"
[ -n "$compared" ] && row "brimlet-report (table), compared build" "$old_s" "$old_cpu" "$old_kib"
row "brimlet-report --format json" "$json_s" "$json_cpu" "$json_kib"
row "brimlet-report --per-user --prometheus" "$prom_s" "$prom_cpu" "$prom_kib"
echo "ratio beside its aim: brimlet-report (table) $(ratio "$table_s" "$wc_s") x wc -l by the wall" \
  "clock, $(ratio "$table_cpu" "$wc_cpu") x by processor time; aim: at most 3.0 x"
echo "anchor: brimlet-report within 3 x wc -l; its memory grows with the users, not the lines"
