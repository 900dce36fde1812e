#!/usr/bin/env bash
# demo.sh [build dir]
# The whole system on one machine: BrimletD listens on a free loopback port,
# Brimlet runs under Wine watching H:\ on the simulated network of
# examples/walkthrough.net, and the script edits that network so the level
# goes ok, warning, danger and back. It prints what BrimletD logs, leaves
# screenshots of the tray and the details window at each level (at the
# warning step also the notification the rise brings, at the danger step a
# snooze chosen from the tray menu), then opens the "what uses the space"
# window from the tray menu over a generated home folder mapped as H:, and
# stops everything it started.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(dirname "$here")"
build="$(cd "${1:-build}" && pwd)"
# The 32-bit program where this host's Wine runs 32-bit programs, else the
# 64-bit one (scripts/wine-arch.sh; WINE_ARCH=64 chooses it anywhere).
path="$("$here/wine-arch.sh" --why)"
arch="${path%% *}"
windows="$build/win$arch"
daemon="$build/native/daemon/brimletd"
# The program beside the stand-in client libraries, as on a workstation: the
# 32-bit one reaches the simulated network through them.
monitor="$windows/workstation/brimlet.exe"
if [ ! -f "$monitor" ]; then
  echo "demo: $monitor is missing; build it first (make demo builds it)" >&2
  exit 1
fi

# Without a display, run the whole demo inside a private Xvfb.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/screenshots"
network="$demo/network.net"
poll=2

# One level of the walk-through network: the directory limit is 25600 blocks
# (102400 KB); only the remaining blocks change.
write_network() {  # remaining-blocks
  sed "s/^entry = 0, 25600, .*/entry = 0, 25600, $1/" "$top/examples/walkthrough.net" >"$network.tmp"
  mv "$network.tmp" "$network"
}

free_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The first window whose title matches (xdotool search options allowed
# before it), or nothing.
window_named() {  # [options] title-pattern
  xdotool search "$@" 2>/dev/null | head -n 1 || true
}

screenshot() {  # name
  sleep 1
  import -window root "$demo/screenshots/$1-screen.png" 2>/dev/null || true
  local tray
  tray=$(window_named --name '^Wine System Tray$')
  if [ -n "$tray" ]; then
    import -window "$tray" "$demo/screenshots/$1-tray.png" 2>/dev/null || true
  fi
  local details
  details=$(window_named --name '^Quota information on Novell network drive$')
  if [ -n "$details" ]; then
    import -window "$details" "$demo/screenshots/$1-details.png" 2>/dev/null || true
  fi
}

daemon_pid=""
monitor_pid=""
cleanup() {
  [ -n "$monitor_pid" ] && kill "$monitor_pid" 2>/dev/null || true
  [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null || true
  WINEPREFIX="$windows/wineprefix" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

port=$(free_port)
echo "demo: BrimletD on 127.0.0.1:$port, logging to $demo/brimletlog.txt"
(cd "$demo" && exec "$daemon" "$port" N) >"$demo/brimletd.out" 2>&1 &
daemon_pid=$!

write_network 22500
export WINEPREFIX="$windows/wineprefix"
source "$here/wine-env.sh"
if [ "$arch" = 64 ]; then
  echo "demo: running the 64-bit $monitor under wine64 (${path#* })"
else
  echo "demo: running the 32-bit $monitor under wine (${path#* })"
fi
wineserver -k >/dev/null 2>&1 || true
"$here/wine-prefix.sh"
# H: of the demo's prefix is a generated home folder, so that the "what uses
# the space" window has something to show: folders and files of known sizes.
home="$demo/home"
make_home() {
  local folder size
  for entry in "Documents/report.doc 1200" "Documents/old/draft.doc 300" \
               "Pictures/holiday/beach.jpg 2500" "Pictures/holiday/sea.jpg 1800" \
               "Pictures/cat.jpg 700" "Mail/inbox.pst 4200" "notes.txt 40"; do
    set -- $entry
    folder="$(dirname "$home/$1")"
    mkdir -p "$folder"
    head -c "$(($2 * 1024))" /dev/zero >"$home/$1"
  done
}
make_home
ln -sfn "$home" "$WINEPREFIX/dosdevices/h:"
wineserver -p </dev/null >/dev/null 2>&1
if ! wine wineboot </dev/null >/dev/null 2>&1; then
  echo "demo: Wine ($WINEARCH) does not start in $WINEPREFIX" >&2
  exit 1
fi
wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1

windows_network="Z:${network//\//\\}"
echo "demo: brimlet.exe H:\\ $poll 75 95 % Y Y 127.0.0.1 $port   (network: $network)"
# One argument per token: Wine would quote a single argument with blanks.
BRIMLET_NETWORK="$windows_network" wine "$monitor" 'H:\' "$poll" 75 95 % Y Y 127.0.0.1 "$port" \
  </dev/null >"$demo/brimlet.out" 2>&1 &
monitor_pid=$!

# The tray menu opened with a right click on the icon (its top left corner at
# the cursor), and its third item, "Remind me later", hovered: its sub-menu
# opens beside it, with "In one hour" level with it.
open_snooze_menu() {
  tray=$(window_named --name '^Wine System Tray$')
  [ -n "$tray" ] || return 1
  xdotool mousemove --window "$tray" 12 32 click 3
  sleep 0.5
  xdotool mousemove --window "$tray" 32 84
  sleep 1.5
}

# Snoozes for an hour from the menu, then opens it again: it now says until
# when the snooze runs. Both menus are left as pictures.
snooze_from_menu() {  # picture-prefix
  if ! open_snooze_menu; then
    echo "demo: no tray window; no snooze from the menu"
    return 0
  fi
  import -window root -crop 720x240+0+0 +repage "$demo/screenshots/$1-snooze-menu.png" 2>/dev/null || true
  xdotool mousemove --window "$tray" 360 84
  sleep 0.5
  xdotool click 1
  sleep 1
  open_snooze_menu || true
  import -window root -crop 720x240+0+0 +repage "$demo/screenshots/$1-snoozed.png" 2>/dev/null || true
  xdotool mousemove 1000 900 click 1  # closes the menu
  echo "demo: snoozed for an hour from the tray menu: $1-snooze-menu.png, $1-snoozed.png"
}

n=0
for step in "ok 22500" "warning 5000" "danger 500" "warning 5000" "ok 22500"; do
  set -- $step
  n=$((n + 1))
  write_network "$2"
  sleep $((poll * 2))
  echo "demo: level $1 ($2 of 25600 blocks free)"
  screenshot "$n-$1"
  if [ "$n" -eq 3 ]; then
    snooze_from_menu "$n-$1"
  fi
  if [ "$n" -eq 2 ]; then
    # The rise to warning brings a notification: Wine's notification area
    # shows it as a balloon beside the tray at the top left, 2 s after the
    # poll and for at least 10 s, so it is on the screen now.
    # Told only when the picture holds it: against the same corner at the ok
    # step, where only the tray icon changes (16 x 16), a balloon changes
    # thousands of pixels.
    picture="$demo/screenshots/$n-$1-notification.png"
    changed=0
    if import -window root -crop 480x160+0+0 +repage "$picture" 2>/dev/null &&
       convert "$demo/screenshots/1-ok-screen.png" -crop 480x160+0+0 +repage "$demo/ok-corner.png" 2>/dev/null; then
      changed="$(compare -metric AE "$demo/ok-corner.png" "$picture" null: 2>&1 || true)"
      [[ "$changed" =~ ^[0-9]+$ ]] || changed=0
    fi
    if [ "$changed" -gt 2000 ]; then
      echo "demo: the notification of the rise to warning: $n-$1-notification.png ($changed pixels changed)"
    else
      rm -f "$picture"
      echo "demo: no picture of the notification of the rise to warning: the screen's corner shows none ($changed pixels changed)"
    fi
  fi
done

# The tray menu's "what uses the space" item (under the details item: the
# menu opens with its top left corner at the cursor) opens its window, which
# scans H:.
tray=$(window_named --name '^Wine System Tray$')
largest='^What uses the space$'
shown=""
if [ -n "$tray" ]; then
  for _ in 1 2 3; do
    xdotool mousemove --window "$tray" 12 32 click 3; sleep 0.5
    xdotool mousemove --window "$tray" 32 68 click 1
    for _ in $(seq 1 25); do
      shown=$(window_named --onlyvisible --name "$largest")
      [ -n "$shown" ] && break
      sleep 0.2
    done
    [ -n "$shown" ] && break
  done
fi
if [ -n "$shown" ]; then
  sleep 2  # a scan of a few files ends at once; let the list be drawn
  import -window "$shown" "$demo/screenshots/6-largest-items.png" 2>/dev/null || true
  echo "demo: what uses the space on H: ($home): 6-largest-items.png"
else
  echo "demo: the \"what uses the space\" window did not open; no picture of it"
fi

echo
echo "demo: BrimletD's console:"
sed 's/^/    /' "$demo/brimletd.out"
echo "demo: BrimletD's log file ($demo/brimletlog.txt):"
sed 's/^/    /' "$demo/brimletlog.txt" 2>/dev/null || echo "    (empty)"
echo "demo: screenshots in $demo/screenshots"
