#!/usr/bin/env bash
# bench-report.sh [BUILD_DIR]    (default build/native; build brimlet-report first)
# brimlet-report on a generated log of 1 000 000 entries from 10 000 users,
# against `wc -l` and `LC_ALL=C sort | uniq -c` over the same file: wall
# time (best of three, the file in the page cache), the ratio to `wc -l`
# and the peak resident memory of each. A benchmark: it prints figures and
# asserts nothing. The anchor: brimlet-report within 3 times `wc -l`.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/native}" && pwd)"
report="$build/daemon/report/brimlet-report"
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

# best_of COMMAND: "seconds peak_kib": the fastest of three runs, timed to
# the millisecond by bash, and the peak memory of one more run (GNU time).
best_of() {
  local best="" seconds kib
  for _ in 1 2 3; do
    seconds="$( { TIMEFORMAT=%3R; time bash -c "$1" >/dev/null 2>&1; } 2>&1 )"
    if [ -z "$best" ] || awk "BEGIN { exit !($seconds < $best) }"; then best="$seconds"; fi
  done
  kib="$(/usr/bin/time -f '%M' bash -c "$1" 2>&1 >/dev/null | tail -n 1)"
  echo "$best $kib"
}
read -r wc_s wc_kib < <(best_of "wc -l '$log'")
read -r sort_s sort_kib < <(best_of "LC_ALL=C sort '$log' | uniq -c")
read -r table_s table_kib < <(best_of "'$report' '$log'")
read -r json_s json_kib < <(best_of "'$report' --format json '$log'")
read -r prom_s prom_kib < <(best_of "'$report' --per-user --prometheus '$work/b.prom' '$log'")

ratio() { awk "BEGIN { printf \"%.1f\", $1 / ($wc_s > 0 ? $wc_s : 0.001) }"; }
echo "bench-report: $entries entries, $users users, $(du -m "$log" | cut -f1) MB; best of three"
printf '%-44s %9s %12s %14s\n' "command" "seconds" "x wc -l" "peak RSS KiB"
printf '%-44s %9s %12s %14s\n' "wc -l" "$wc_s" "1.0" "$wc_kib"
printf '%-44s %9s %12s %14s\n' "LC_ALL=C sort | uniq -c (sort's RSS)" "$sort_s" "$(ratio "$sort_s")" "$sort_kib"
printf '%-44s %9s %12s %14s\n' "brimlet-report (table)" "$table_s" "$(ratio "$table_s")" "$table_kib"
printf '%-44s %9s %12s %14s\n' "brimlet-report --format json" "$json_s" "$(ratio "$json_s")" "$json_kib"
printf '%-44s %9s %12s %14s\n' "brimlet-report --per-user --prometheus" "$prom_s" "$(ratio "$prom_s")" "$prom_kib"
echo "anchor: brimlet-report within 3 x wc -l; its memory grows with the users, not the lines"
