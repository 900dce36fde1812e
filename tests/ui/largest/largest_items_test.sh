#!/usr/bin/env bash
# largest_items_test.sh TEST_EXE WINE_RUN WINEPREFIX
# The scan of the "what uses the space" window on a generated tree mapped as
# a drive letter of the test prefix (make_fixture.py tells what is in it);
# the tree and the drive letter go again on every exit.
set -uo pipefail
test_exe="$1"; wine_run="$2"; prefix="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work=$(mktemp -d /tmp/brimlet-scan.XXXXXX)
link=""
cleanup() {
  [ -n "$link" ] && rm -f "$link"
  chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

python3 "$here/make_fixture.py" "$work/tree" "$work/expect.txt" || { echo "FAILED: no fixture"; exit 1; }
letter=""
for candidate in l k j i g; do
  if [ ! -e "$prefix/dosdevices/$candidate:" ] && [ ! -L "$prefix/dosdevices/$candidate:" ]; then
    letter=$candidate
    break
  fi
done
[ -n "$letter" ] || { echo "FAILED: no free drive letter in $prefix/dosdevices"; exit 1; }
link="$prefix/dosdevices/$letter:"
ln -s "$work/tree" "$link"
# The real program of the last test reads the simulated network.
network="$(cd "$here/../../../examples" && pwd)/walkthrough.net"
BRIMLET_NETWORK="Z:${network//\//\\}" \
BRIMLET_SCAN_DRIVE="${letter^^}:\\" BRIMLET_SCAN_EXPECT="Z:${work//\//\\}\\expect.txt" \
  "$wine_run" "$test_exe"
