#!/usr/bin/env bash
# bench-scan.sh [build dir] [files] [folders]
# The scan of the "what uses the space" window under Wine on a generated tree
# (100 000 files in 2 000 folders by default) on a local disk mapped as a
# drive letter, beside `du -s --apparent-size` and `du -s` run natively on
# the same tree: the time of each (the best of three warm runs), names per
# second and the scan's time as a multiple of du's; then the scan program's
# working set idle and at its peak. Run after building bench_scan.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
files="${2:-100000}"; folders="${3:-2000}"
windows="$build/win$("$here/../scripts/wine-arch.sh")"
if [ -z "${BRIMLET_BENCH_SESSION:-}" ]; then
  export BRIMLET_BENCH_SESSION=1
  exec "$here/../scripts/wine-session.sh" "$windows/wineprefix" "$0" "$build" "$files" "$folders"
fi

work=$(mktemp -d /tmp/brimlet-bench-scan.XXXXXX)
link=""
cleanup() { [ -n "$link" ] && rm -f "$link"; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# 40 folders at the top, each with the same number of folders under it;
# the files spread evenly over all of them, sizes from 0 to 6 000 bytes.
python3 - "$work/tree" "$files" "$folders" <<'PY'
import os, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
top = 40
under = max(folders // top - 1, 0)
dirs = []
for t in range(top):
    dirs.append(os.path.join(root, "top%02d" % t))
    dirs += [os.path.join(root, "top%02d" % t, "sub%03d" % s) for s in range(under)]
for d in dirs:
    os.makedirs(d)
for i in range(files):
    with open(os.path.join(dirs[i % len(dirs)], "f%06d.bin" % i), "wb") as f:
        f.write(b"x" * ((i % 7) * 1000))
print("tree: %d files in %d folders" % (files, len(dirs)))
PY

best() {  # best of three runs of a command, in seconds
  local best_time=""
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N); "$@" >/dev/null; end=$(date +%s.%N)
    best_time=$(python3 -c "a='$best_time'; t=$end-$start; print(t if a=='' else min(float(a), t))")
  done
  echo "$best_time"
}
du_apparent=$(best du -s --apparent-size "$work/tree")
du_blocks=$(best du -s "$work/tree")

letter=""
for candidate in l k j i g; do
  if [ ! -e "$windows/wineprefix/dosdevices/$candidate:" ] && [ ! -L "$windows/wineprefix/dosdevices/$candidate:" ]; then
    letter=$candidate; break
  fi
done
[ -n "$letter" ] || { echo "no free drive letter"; exit 1; }
link="$windows/wineprefix/dosdevices/$letter:"
ln -s "$work/tree" "$link"
"$windows/wine-run.sh" "$windows/bench/ui/bench_scan.exe" "${letter^^}:\\" 4 </dev/null \
  | tr -d '\r' | tee "$work/scan.txt"
scan=$(grep '^scan [2-9]' "$work/scan.txt" | sed 's/^scan [0-9]*: \([0-9.]*\) s.*/\1/' | sort -n | head -n 1)
names=$((files + $(find "$work/tree" -mindepth 1 -type d | wc -l)))
python3 - "$names" "$scan" "$du_apparent" "$du_blocks" <<'PY'
import sys
names, scan, apparent, blocks = int(sys.argv[1]), *map(float, sys.argv[2:])
print("%-32s %8s %12s %8s" % ("", "seconds", "names/s", "x du -s"))
for name, t in (("scan under Wine (best warm run)", scan), ("du -s --apparent-size (native)", apparent),
                ("du -s (native)", blocks)):
    print("%-32s %8.3f %12.0f %8.2f" % (name, t, names / t, t / blocks))
print("%-32s %8.2f x du -s   aim: <= 3.00 x du -s" % ("ratio beside its aim", scan / blocks))
PY
