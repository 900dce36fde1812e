#!/usr/bin/env bash
# windows_drive_quota.sh BRIMLET_EXE DETAILS_TEXTS_EXE WINE_RUN WINEPREFIX SCRIPTS_DIR PICTURE
# The Windows drive build of brimlet.exe on a real file system: a 100 MiB
# ext4 image with 10 % of its blocks reserved for root, loop-mounted and
# mapped as a drive letter of the test prefix, filled to 85 % (warning) and
# then to 97 % (danger). The datagrams must be byte for byte, and the details
# window's figures text for text, what the file system's statvfs gives the
# caller: free is what the caller may still fill (f_bavail), not what is free
# on the disk (f_bfree), and the two differ here by the reserved blocks. (Wine
# answers both of GetDiskFreeSpaceExA's free figures from f_bavail, so under
# Wine this tells the program's figures from the disk's, not the call's two
# outputs apart.) A folder that does not exist reads as unknown and sends
# nothing. Leaves a picture of the details window at the warning level in
# PICTURE. Needs root for the mount; skips (exit 77) otherwise.
set -uo pipefail
monitor="$1"; details_texts="$2"; wine_run="$3"; prefix="$4"; scripts="$5"; picture="$6"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
helper="$here/drive_quota.py"

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: mounting the test's file system needs root"
  exit 77
fi

work=$(mktemp -d /tmp/brimlet-drive.XXXXXX)
mount_dir="$work/drive"
link=""; receiver_pid=""; monitor_pid=""; mounted=0
cleanup() {
  [ -n "$monitor_pid" ] && kill -CONT "$monitor_pid" 2>/dev/null && kill "$monitor_pid" 2>/dev/null
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  wait 2>/dev/null
  [ -n "$link" ] && rm -f "$link"
  # The loop device goes with the mount (mount -o loop sets it to clear).
  [ "$mounted" -eq 1 ] && { umount "$mount_dir" || umount -l "$mount_dir"; }
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() { echo "FAILED: $*"; exit 1; }
# text HEX: a datagram of the receiver's file as text.
text() { python3 -c 'import sys; print(bytes.fromhex(sys.argv[1]).decode("latin-1"))' "$1"; }

mkdir "$mount_dir"
truncate -s 100M "$work/disk.img" || fail "cannot make the disk image"
mkfs.ext4 -q -F -b 4096 -m 10 "$work/disk.img" || fail "cannot make an ext4 file system"
mount -o loop "$work/disk.img" "$mount_dir" || fail "cannot loop-mount the image on $mount_dir"
mounted=1

# A drive letter the prefix does not use yet, linked to the mount.
WINEPREFIX="$prefix" "$scripts/wine-prefix.sh" >/dev/null || fail "no Wine prefix $prefix"
letter=""
for candidate in q r s t u v w x y p o n m; do
  if [ ! -e "$prefix/dosdevices/$candidate:" ] && [ ! -L "$prefix/dosdevices/$candidate:" ]; then
    letter=$candidate
    break
  fi
done
[ -n "$letter" ] || fail "no free drive letter in $prefix/dosdevices"
link="$prefix/dosdevices/$letter:"
ln -s "$mount_dir" "$link"
drive="${letter^^}:\\"

# Wine's own idea of the user and the computer, from its environment.
login=$("$wine_run" cmd /c echo %USERNAME% </dev/null 2>/dev/null | tr -d '\r')
computer=$("$wine_run" cmd /c echo %COMPUTERNAME% </dev/null 2>/dev/null | tr -d '\r')
[ -n "$login" ] && [ -n "$computer" ] || fail "Wine names no user or computer"

python3 "$helper" receive "$work/port" "$work/datagrams" 100 &
receiver_pid=$!
for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the receiver did not start"
port=$(cat "$work/port")
touch "$work/datagrams"

# wait_datagrams N: at most 30 s until N datagrams have arrived.
wait_datagrams() {
  for _ in $(seq 1 150); do
    [ "$(wc -l <"$work/datagrams")" -ge "$1" ] && return 0
    sleep 0.2
  done
  return 1
}

# expected NAME: a line of the expectation file.
expected() { sed -n "s/^$1=//p" "$work/expected"; }

# check_details NAME...: the details window's texts against the expectation
# file (every NAME it has) and the names of the reading.
check_details() {
  local label="$1" want got name
  "$wine_run" "$details_texts" 20000 </dev/null 2>/dev/null | tr -d '\r' >"$work/details" ||
    { cat "$work/details"; fail "$label: no details window"; }
  for name in IDC_DIR_USED IDC_DIR_LIMIT IDC_DIR_FREE IDC_VOL_USED IDC_VOL_LIMIT IDC_VOL_FREE \
              IDC_PERCENT_TEXT IDC_STATUS_TEXT IDC_LOGIN_NAME IDC_SERVER_NAME IDC_SERVER_PATH \
              IDC_WATCHED_PATH IDC_BALANCE IDC_LOW_LIMIT caption; do
    want=$(expected "$name")
    got=$(sed -n "s/^$name=//p" "$work/details")
    [ "$got" = "$want" ] || fail "$label: $name is \"$got\", expected \"$want\""
  done
  if grep -q Novell "$work/details"; then
    grep Novell "$work/details"
    fail "$label: the details window speaks of Novell"
  fi
  echo "$label: details window as expected"
}

# names_of PATH SERVER SERVER_PATH: the expected name and fixed fields.
names_of() {
  {
    echo "IDC_LOGIN_NAME=$2"
    echo "IDC_SERVER_NAME=$3"
    echo "IDC_SERVER_PATH=$4"
    echo "IDC_WATCHED_PATH=$1"
    echo "IDC_BALANCE="
    echo "IDC_LOW_LIMIT="
    echo "caption=Quota information on network drive"
  } >>"$work/expected"
}

# 1. Warning: 85 % of the caller's total in use.
python3 "$helper" fill "$mount_dir" "$mount_dir/first" 85 || fail "cannot fill the disk"
python3 "$helper" expect "$mount_dir" "$login" 75 95 >"$work/expected" ||
  fail "no expectation for $mount_dir"
names_of "$drive" "$login" "$computer" "$drive"
[ "$(expected level)" = warning ] || fail "85 % in use gave level $(expected level)"
"$wine_run" "$monitor" "$drive" 1 75 95 % Y N 127.0.0.1 "$port" </dev/null >"$work/monitor.out" 2>&1 &
monitor_pid=$!
wait_datagrams 1 || fail "no warning datagram within 30 s"
[ "$(sed -n 1p "$work/datagrams")" = "$(expected datagram)" ] ||
  fail "warning datagram \"$(text "$(sed -n 1p "$work/datagrams")")\", expected \"$(text "$(expected datagram)")\""
echo "warning: $(text "$(sed -n 1p "$work/datagrams")")"
check_details warning
if command -v import >/dev/null && [ -n "${DISPLAY:-}" ]; then
  read -r left top width height < <(sed -n 's/^window=//p' "$work/details")
  mkdir -p "$(dirname "$picture")"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$picture" &&
    echo "picture: $picture"
fi

# 2. Danger: the monitor stands still while the file system fills to 97 %,
# so that no poll sees it half filled.
kill -STOP "$monitor_pid"
python3 "$helper" fill "$mount_dir" "$mount_dir/second" 97 || fail "cannot fill the disk further"
python3 "$helper" expect "$mount_dir" "$login" 75 95 >"$work/expected" ||
  fail "no expectation for $mount_dir"
names_of "$drive" "$login" "$computer" "$drive"
[ "$(expected level)" = danger ] || fail "97 % in use gave level $(expected level)"
kill -CONT "$monitor_pid"
wait_datagrams 2 || fail "no danger datagram within 30 s"
[ "$(sed -n 2p "$work/datagrams")" = "$(expected datagram)" ] ||
  fail "danger datagram \"$(text "$(sed -n 2p "$work/datagrams")")\", expected \"$(text "$(expected datagram)")\""
echo "danger: $(text "$(sed -n 2p "$work/datagrams")")"
check_details danger
kill "$monitor_pid"; wait "$monitor_pid" 2>/dev/null; monitor_pid=""

# 3. A folder that does not exist: unknown, "??", and nothing sent over
# three more polls.
missing="${drive}NOSUCHFOLDER"
{
  for name in IDC_DIR_USED IDC_DIR_LIMIT IDC_DIR_FREE IDC_VOL_USED IDC_VOL_LIMIT IDC_VOL_FREE; do
    echo "$name=??"
  done
  echo "IDC_PERCENT_TEXT=0%"
  echo "IDC_STATUS_TEXT=Unknown free space."
} >"$work/expected"
names_of "$missing" "??" "??" ""
"$wine_run" "$monitor" "$missing" 1 75 95 % Y N 127.0.0.1 "$port" </dev/null >"$work/monitor.out" 2>&1 &
monitor_pid=$!
check_details "missing folder"
sleep 3
[ "$(wc -l <"$work/datagrams")" -eq 2 ] || fail "a datagram was sent for the missing folder"
echo "missing folder: nothing sent"
echo "3 passed, 0 failed"
