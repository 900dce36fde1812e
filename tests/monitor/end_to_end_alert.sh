#!/usr/bin/env bash
# end_to_end_alert.sh BRIMLETD BRIMLET_EXE WINE_RUN EXAMPLES_DIR
# brimlet.exe under Wine sends the walk-through's warning over loopback, one
# row per kind of log host: to the native brimletd by IPv4 address (its log
# line must be exactly the entry format), and to a listener on ::1 by IPv6
# address, by a name that has only an IPv6 address, and by a name whose
# resolver holds its answer back: meanwhile the details window must open (the
# window thread does not wait for the resolver), and once the answer comes
# the alert must arrive, exactly once.
# Names come from hosts and resolver files of the monitor's own mount
# namespace; the machine's own files are not touched.
set -uo pipefail
daemon="$1"; monitor="$2"; wine_run="$3"; examples="$4"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
passed=0; failed=0; skipped=0
row() {  # row NAME COMMAND...
  local name="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
wait_for() {  # wait_for SECONDS COMMAND...: every 0.2 s until the command succeeds
  local tries=$(($1 * 5)); shift
  for _ in $(seq 1 "$tries"); do "$@" && return 0; sleep 0.2; done
  return 1
}

text='Warning,user1,80%,20.00 Mb free,102.40 Mb max'
cp "$examples/walkthrough.net" "$work/network.net"
network="Z:${work//\//\\}\\network.net"

# start_monitor PATH HOST PORT [SHOWDETAILS [RESOLVER]]: one monitor under a
# watched path of its own, so that no other copy stands in for it. Where a
# private mount namespace can be had it sees a hosts file that names ::1
# brimlet-loghost6, and the resolver RESOLVER.
private_names=no
unshare -m true 2>/dev/null && private_names=yes
printf '127.0.0.1 localhost\n::1 brimlet-loghost6\n' >"$work/hosts"
start_monitor() {
  local path="$1" host="$2" port="$3" show="${4:-N}" resolver="${5:-127.0.0.1}"
  printf 'nameserver %s\noptions timeout:30 attempts:1\n' "$resolver" >"$work/resolv.conf"
  local private=()
  if [ "$private_names" = yes ]; then
    private=(unshare -m bash -c 'mount --bind "$1" /etc/hosts && mount --bind "$2" /etc/resolv.conf &&
                                 shift 2 && exec "$@"' private-names "$work/hosts" "$work/resolv.conf")
  fi
  # One argument per token: Wine would quote a single argument with blanks.
  LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 BRIMLET_NETWORK="$network" "${private[@]}" "$wine_run" \
    "$monitor" "$path" 3600 75 95 % "$show" N "$host" "$port" </dev/null >>"$work/monitor.out" 2>&1 &
  pids+=($!)
}

# listen6 NAME: a UDP listener on ::1 that writes each datagram as a line to
# NAME; its port in NAME.port.
listen6() {
  python3 -c '
import socket, sys
s = socket.socket(socket.AF_INET6, socket.SOCK_DGRAM)
s.bind(("::1", 0))
open(sys.argv[1] + ".port", "w").write(str(s.getsockname()[1]))
with open(sys.argv[1], "ab", buffering=0) as out:
    while True:
        out.write(s.recv(512) + b"\n")' "$1" &
  pids+=($!)
  wait_for 10 test -s "$1.port"
}
# received_once NAME: the alert arrived within 30 s, and no second one.
received_once() {
  wait_for 30 test -s "$1" || { echo "  nothing received within 30 s"; return 1; }
  sleep 1
  [ "$(cat "$1")" = "$text" ] || { echo "  received: $(cat "$1")"; return 1; }
}

ipv4_daemon() {
  local port
  port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  (cd "$work" && exec "$daemon" "$port" N) >"$work/daemon.out" 2>&1 &
  pids+=($!)
  start_monitor 'H:\' 127.0.0.1 "$port"
  local expected='^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2},'"${text//./\\.}"'$'
  wait_for 30 test -s "$work/brimletlog.txt" || { echo "  no log entry within 30 s"; cat "$work/daemon.out"; return 1; }
  sleep 1
  echo "  log: $(cat "$work/brimletlog.txt")"
  grep -Eq "$expected" "$work/brimletlog.txt" && [ "$(wc -l <"$work/brimletlog.txt")" -eq 1 ] &&
    grep -Eq "${expected#^}" "$work/daemon.out"
}

ipv6_address() {
  listen6 "$work/literal" && start_monitor 'H:\IPV6' ::1 "$(cat "$work/literal.port")" &&
    received_once "$work/literal"
}

ipv6_name() {
  listen6 "$work/name" && start_monitor 'H:\IPV6NAME' brimlet-loghost6 "$(cat "$work/name.port")" &&
    received_once "$work/name"
}

# A resolver on a loopback address of its own that answers nothing until
# released, then AAAA questions with ::1 and every other with no address.
slow_resolver() {
  python3 -c '
import os, socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.38.0.53", 53))
s.settimeout(0.1)
open(sys.argv[1] + ".ready", "w").close()
held = []
while True:
    try:
        held.append(s.recvfrom(512))
        open(sys.argv[1] + ".asked", "w").close()
    except socket.timeout:
        pass
    if not os.path.exists(sys.argv[1] + ".release"):
        continue
    for query, peer in held:
        end = query.index(b"\0", 12) + 5
        aaaa = query[end - 4:end - 2] == b"\0\x1c"
        answer = b"\xc0\x0c\0\x1c\0\x01\0\0\0\0\0\x10" + bytes(15) + b"\x01" if aaaa else b""
        s.sendto(query[:2] + b"\x81\x80\0\x01\0" + bytes([aaaa]) + b"\0\0\0\0" + query[12:end] + answer, peer)
    held = []' "$1" &
  pids+=($!)
  wait_for 10 test -e "$1.ready"
}
window() { xdotool search --onlyvisible --name '^Quota information on' >/dev/null 2>&1; }
held_answer() {
  slow_resolver "$work/dns" && listen6 "$work/late" &&
    start_monitor 'H:\LATE' loghost.brimlet.test "$(cat "$work/late.port")" Y 127.38.0.53 || return 1
  local ok=0
  wait_for 30 test -e "$work/dns.asked" || { echo "  the resolver was not asked"; ok=1; }
  wait_for 20 window || { echo "  no details window while the name was looked up"; ok=1; }
  [ -s "$work/late" ] && { echo "  sent before the name was known"; ok=1; }
  touch "$work/dns.release"
  received_once "$work/late" && return "$ok"
}

row "IPv4 address, to brimletd" ipv4_daemon
row "IPv6 address ::1" ipv6_address
if [ "$private_names" = yes ]; then
  row "a name with only an IPv6 address" ipv6_name
  if [ "$(id -u)" = 0 ] && command -v xdotool >/dev/null; then
    row "a name whose resolver answers late" held_answer
  else
    skipped=$((skipped + 1)); echo "skipped: a name whose resolver answers late (needs root and xdotool)"
  fi
else
  skipped=$((skipped + 2)); echo "skipped: the rows by name (no private mount namespace here)"
fi
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
