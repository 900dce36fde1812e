#!/usr/bin/env bash
# msi_log_host.sh SCRIPTS_DIR BUILD_MSI MSI PROGRAM ACTIONS VERSION PLATFORM PREFIX
# The log host's package under Wine, in a prefix of its own, with the
# guide's commands (msiexec, sc, net): refused properties leave nothing
# installed; an installation runs the service on its port; an alert sent
# over loopback lands in %ProgramData%\Brimlet\brimletlog.txt and reaches
# the Event Log; a stop through the service manager reports the stop's
# counts; an upgrade keeps the settings and the log; uninstalling removes
# service, event source, settings and firewall rule and keeps the log.
# Wine keeps no event log: its ReportEventW writes what reaches it to the
# debug channels "advapi" (type and event ID) and "eventlog" (each
# insertion string), which this test reads from the standard error of
# Wine's service manager (WINE_SESSION_DEBUG_FILE of wine-session.sh).
set -uo pipefail
scripts="$1"; build_msi="$2"; msi_file="$3"; program="$4"; actions="$5"; version="$6"
platform="$7"; prefix="$8"
work="$(dirname "$prefix")/msi-log-host-test"

if [ "${9:-}" != --inside ]; then
  for tool in wixl msiinfo msibuild xvfb-run python3 ss; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (make setup)"; exit 1; }
  done
  [ -f "$msi_file" ] || { echo "FAILED: no package $msi_file (build the msi target)"; exit 1; }
  rm -rf "$prefix" "$prefix.lock" "$work"; mkdir -p "$work"
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
  export WINEDEBUG=-all,err+module,fixme+advapi,+eventlog WINE_SESSION_DEBUG_FILE="$work/wine-debug.txt"
  exec xvfb-run -a "$scripts/wine-session.sh" "$prefix" bash "$0" "$@" --inside
fi

# shellcheck source=tests/packaging/msi_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/msi_common.sh"
cd "$work" || fail "cannot enter $work"
debug="$work/wine-debug.txt"
sc() { "$wine_exec" sc "$@" </dev/null 2>/dev/null | tr -d '\r'; }
service_state() { sc query BrimletD | awk '$1 == "STATE" { print $4 }'; }
service_key='HKLM\SYSTEM\CurrentControlSet\Services\BrimletD'
source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\BrimletD'
settings_key='HKLM\Software\Brimlet\BrimletD'
# A port nobody else of a parallel test run holds now.
port="$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"

IFS=. read -r major minor patch <<<"$version"
older="$major.$((minor > 0 ? minor - 1 : 0)).$((minor > 0 ? patch : patch - 1))"
cp "$msi_file" current.msi
bash "$build_msi" older.msi "$program" "$actions" "$older" "$platform" >/dev/null ||
  fail "cannot build the $older package"
code="$(product_code current.msi)"
data_unix="$(unix_path 'C:\ProgramData')/Brimlet"
log_unix="$data_unix/brimletlog.txt"

# wait_for WHAT COMMAND...: up to 20 s, in steps of a quarter second.
wait_for() {
  local what="$1"; shift
  local i
  for i in $(seq 80); do "$@" && return 0; sleep 0.25; done
  fail "waited 20 s for $what"
}
running() { [ "$(service_state)" = RUNNING ]; }
stopped() { [ "$(service_state)" = STOPPED ]; }
port_bound() { ss -ulnH "sport = :$port" | grep -q .; }
logged() { grep -aqF "$1" "$log_unix" 2>/dev/null; }
# reported ID TYPE: an event with that ID (decimal) and type reached ReportEventW.
reported() {
  grep -aqE "fixme:advapi:ReportEventW \([0-9A-F]+,$(printf '0x%04x' "$2"),0x0000,$(printf '0x%08x' "$1")," "$debug"
}
nothing_installed() {
  registered "$code" && fail "$1: BrimletD is registered"
  reg_key_exists "$service_key" && fail "$1: the service is there"
  reg_key_exists "$source_key" && fail "$1: the event source is there"
  reg_key_exists "$settings_key" && fail "$1: the settings are there"
  return 0
}

# name|NAME=VALUE words separated by "&". The rules themselves are tested
# natively (service_properties_test.cpp); here, that a refusal reaches the
# log and leaves nothing, and what only the installer has: its characters.
refusals=(
  "port 0|PORT=0"
  "filter outside ASCII|FILTER=Jos\u00e9"
  "rate the daemon does not read|RATE=many"
)
for case in "${refusals[@]}"; do
  name="${case%%|*}"
  IFS='&' read -r -a words <<<"${case#*|}"
  for i in "${!words[@]}"; do words[i]="$(printf '%b' "${words[i]}")"; done
  if msi /i current.msi /qn "${words[@]}"; then fail "$name (${words[*]}) was installed"; fi
  refused="${words[-1]%%=*}"
  line="$(grep -a -m1 "^BrimletD: $refused=.* is refused: " msiexec.log | tr -d '\r')" ||
    fail "$name: no refusal of $refused in the log: $(grep -a 'BrimletD: ' msiexec.log)"
  nothing_installed "$name"
  echo "refused, $name: $line"
done

# The older version first, with its settings given.
msi /i older.msi /qn PORT=$port DANGERONLY=N || fail "installing $older: $(grep -a 'BrimletD: ' msiexec.log)"
wait_for "the service to run" running
wait_for "port $port to be bound" port_bound
image="$(reg_value "$service_key" ImagePath)"
[[ "$image" == '"'*'brimletd.exe" '"$port N" ]] || fail "service command line: $image"
echo "installed $older: running, port $port bound, command line: $image"
echo "firewall: $(grep -a -m1 'BrimletD: firewall' msiexec.log | tr -d '\r')"
[ "$(reg_value "$source_key" EventMessageFile)" = "$(sed -E 's/^"([^"]*)".*/\1/' <<<"$image")" ] ||
  fail "event source: $(reg_value "$source_key" EventMessageFile)"

# One alert over loopback: in the log and in the Event Log, at its level.
printf 'Warning,user\001one,80%%,20.00 Mb free,102.40 Mb max' >"/dev/udp/127.0.0.1/$port"
wait_for "the alert in the log" logged 'Warning,user#001one,80%,20.00 Mb free,102.40 Mb max'
wait_for "the warning event" reported 100 2
grep -aqF 'warn:eventlog:ReportEventW L"user#001one"' "$debug" || fail "insertion string of the user"
reported 1 4 || fail "no start event"
echo "alert: in $log_unix and reported as event 100 (warning) with its fields escaped"

# The upgrade keeps the settings (no property given) and the log.
msi /i current.msi /qn || fail "upgrading to $version: $(grep -a 'BrimletD: ' msiexec.log)"
registered "$code" || fail "$version is not registered after the upgrade"
[ "$(reg_value "$service_key" ImagePath)" = "$image" ] || fail "upgrade changed the command line: $(reg_value "$service_key" ImagePath)"
wait_for "the service to run again" running
logged 'Warning,user#001' || fail "the upgrade lost the log"
printf 'Danger,user2,99%%,1.00 Mb free,102.40 Mb max' >"/dev/udp/127.0.0.1/$port"
wait_for "the danger alert in the log" logged 'Danger,user2,99%'
wait_for "the danger event" reported 101 1

# A stop through the service manager: the stop's counts reach the Event Log.
"$wine_exec" net stop BrimletD </dev/null >/dev/null 2>&1 || fail "net stop BrimletD"
wait_for "the service to stop" stopped
wait_for "the stop event" reported 2 4
stop_counts="$(grep -a -A6 'ReportEventW (.*,0x0004,0x0000,0x00000002,' "$debug" | tail -n 6 |
               sed -nE 's/.*trace:eventlog:ReportEventW L"([0-9]+)"/\1/p' | tr '\n' ' ')"
[ "$stop_counts" = "1 0 0 0 0 0 " ] || fail "the stop's counts: $stop_counts"
echo "stop: counts kept, not logged, queue, socket, left, held back: $stop_counts"
"$wine_exec" net start BrimletD </dev/null >/dev/null 2>&1 || fail "net start BrimletD"
wait_for "the service to run after net start" running

# Uninstall: nothing left but the log.
msi /x current.msi /qn || fail "uninstalling failed"
nothing_installed "after uninstall"
grep -aq 'BrimletD: firewall rule' msiexec.log || fail "the firewall rule's removal did not run"
echo "firewall at uninstall: $(grep -a -m1 'BrimletD: firewall' msiexec.log | tr -d '\r')"
logged 'Danger,user2,99%' || fail "uninstalling removed the log"
echo "1 passed, 0 failed"
