#!/usr/bin/env bash
# msi_logon_alert.sh SCRIPTS_DIR MSI EXAMPLES_DIR PREFIX STANDIN_DIR
# End to end from the package: installed with LOGHOST=127.0.0.1 and a test
# port into a fresh prefix of its own, then a new Wine session ("logging
# on") starts the program from the Run value, and its first alert, the
# walk-through network's warning, reaches a receiver on loopback. As on a
# workstation, the program finds the client beside it: the stand-in client
# libraries of the build, copied into the installation's folder.
# The x86 package's program cannot start where Wine runs no 32-bit
# programs: there the test is skipped (exit 77), and the x64 package's run
# stands in for it.
set -uo pipefail
scripts="$1"; msi_file="$2"; examples="$3"; prefix="$4"; standins="$5"

[ -f "$msi_file" ] || { echo "FAILED: no package $msi_file (build the msi target)"; exit 1; }
if msiinfo suminfo "$msi_file" | grep -qx 'Template: Intel;1033'; then
  probed="$("$scripts/wine-arch.sh" --why --host)"
  if [ "${probed%% *}" = 64 ]; then
    echo "SKIPPED: ${probed#* }, and the x86 package's brimlet.exe is a 32-bit program"
    exit 77
  fi
fi

work="$(mktemp -d)"
receiver_pid=""
cleanup() {
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work" "$prefix" "$prefix.lock"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
fail() { echo "FAILED: $*"; exit 1; }

# The receiver: the first datagram on a free loopback port, at most 120 s.
python3 - "$work" <<'PY' &
import socket, sys, os
work = sys.argv[1]
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
with open(os.path.join(work, "port.tmp"), "w") as f:
    f.write(str(s.getsockname()[1]))
os.rename(os.path.join(work, "port.tmp"), os.path.join(work, "port"))
s.settimeout(120)
try:
    data = s.recv(1024)
except socket.timeout:
    sys.exit(1)
with open(os.path.join(work, "datagram.tmp"), "wb") as f:
    f.write(data)
os.rename(os.path.join(work, "datagram.tmp"), os.path.join(work, "datagram"))
PY
receiver_pid=$!
for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port="$(cat "$work/port" 2>/dev/null)" || fail "the receiver did not start"

rm -rf "$prefix" "$prefix.lock"
cp "$msi_file" "$work/brimlet.msi"
# Installing: a session of its own, ended (wineserver stopped) afterwards.
(cd "$work" && xvfb-run -a "$scripts/wine-session.sh" "$prefix" \
   "$scripts/wine-exec.sh" msiexec /i brimlet.msi /qn /l*v install.log \
   LOGHOST=127.0.0.1 "LOGPORT=$port" POLLSECONDS=3600 WATCHPATH=h:\\ </dev/null >/dev/null 2>&1) ||
  { cat "$work/install.log" 2>/dev/null | tail -20; fail "installing failed"; }
[ -e "$work/datagram" ] && fail "an alert arrived before the logon"

installed="$(find "$prefix/drive_c" -ipath '*/program files*/brimlet.exe' -print -quit)"
[ -n "$installed" ] || fail "no brimlet.exe in the installation"
for library in CALWIN32 CLXWIN32 LOCWIN32 NETWIN32; do
  cp "$standins/$library.DLL" "$(dirname "$installed")/" || fail "cannot copy $library.DLL"
done

# Logging on: the new session's wineboot runs the Run key. The program reads
# its figures from the simulated network its environment names, through
# the stand-ins.
cp "$examples/walkthrough.net" "$work/network.net"
export BRIMLET_NETWORK="Z:${work//\//\\}\\network.net"
xvfb-run -a "$scripts/wine-session.sh" "$prefix" bash -c '
  for _ in $(seq 1 600); do [ -e "$1/datagram" ] && exit 0; sleep 0.1; done; exit 1' _ "$work" \
  </dev/null >/dev/null 2>&1 || fail "no alert within 60 s of logging on"
got="$(cat "$work/datagram")"
echo "alert: $got"
[ "$got" = "Warning,user1,80%,20.00 Mb free,102.40 Mb max" ] || fail "unexpected alert"
echo "1 passed, 0 failed"
