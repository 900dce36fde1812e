#!/usr/bin/env bash
# tray_ui.sh BRIMLET_EXE WINE_RUN EXAMPLES_DIR
# The monitor driven from outside, as a user drives it: a double click on its
# icon in Wine's notification area opens the details window; the pop-up
# menu's About item opens the About box; its Exit item ends the program.
# Needs the display and warm Wine of a test session. Every wait is bounded.
set -uo pipefail
monitor="$1"; wine_run="$2"; examples="$3"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
passed=0; failed=0
check() {  # description, command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

# wait_for SECONDS COMMAND...: polls every 0.2 s until the command succeeds.
wait_for() {
  local tries=$(($1 * 5)); shift
  for _ in $(seq 1 "$tries"); do "$@" && return 0; sleep 0.2; done
  return 1
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! kill -0 "$pid" 2>/dev/null; }

cp "$examples/walkthrough.net" "$work/network.net"
# A path of its own, so that no other monitor left by an earlier test can
# take its place as the running copy.
BRIMLET_NETWORK="Z:${work//\//\\}\\network.net" "$wine_run" "$monitor" 'H:\TRAYUI' 300 75 95 % N N 0 0 \
  </dev/null >/dev/null 2>&1 &
pid=$!

tray=""
find_tray() { tray=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n 1); [ -n "$tray" ]; }
if ! wait_for 20 find_tray; then
  echo "FAILED: no notification area window; visible windows:"
  for w in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
    echo "  $w '$(xdotool getwindowname "$w")'"
  done
  kill -0 "$pid" 2>/dev/null && echo "  (the monitor runs)" || echo "  (the monitor has ended)"
  exit 1
fi
sleep 1  # let the icon be drawn
# The only icon sits at the left of the tray window, under its caption.
icon_x=12; icon_y=32

# Menus: the pop-up opens at the cursor; its items, from its top edge: the
# details command, the "what uses the space" command, "Remind me later",
# About at 71, Exit at 97 (separators before About and Exit).
# Each action looks the tray window up afresh: under load Wine may have
# replaced the one found at the start.
open_menu() {
  find_tray
  xdotool mousemove --window "$tray" $icon_x $icon_y click 3
  sleep 0.5
}
choose() {  # y offset of the item in the menu
  # The menu opens with its top left corner at the cursor, on the icon.
  xdotool mousemove --window "$tray" $((icon_x + 20)) $((icon_y + $1)) click 1
}

details='^Quota information on Novell network drive$'
about='^About Brimlet$'
hidden() { ! visible "$1"; }
# retry ACTION CHECK...: up to three tries of ACTION, each followed by a
# bounded wait for CHECK; a click right after another window closed may be lost.
retry() {
  local action="$1"; shift
  for _ in 1 2 3; do
    $action
    wait_for 5 "$@" && return 0
  done
  return 1
}
double_click() { find_tray; xdotool mousemove --window "$tray" $icon_x $icon_y click --repeat 2 --delay 80 1; }
menu_about() { open_menu; choose 71; }
menu_exit() { open_menu; choose 97; }

check "a double click on the icon opens the details window" retry double_click visible "$details"
xdotool search --name "$details" windowclose >/dev/null 2>&1
check "the close box only hides the details window" wait_for 5 hidden "$details"
check "the program runs on after the details window is closed" kill -0 "$pid"

check "the menu's About item opens the About box" retry menu_about visible "$about"
xdotool search --name "$about" windowclose >/dev/null 2>&1
check "the About box closes" wait_for 5 hidden "$about"

check "the menu's Exit item ends the program" retry menu_exit gone
if gone; then
  wait "$pid"; status=$?; pid=""
  check "the program ends with status 0" test "$status" -eq 0
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
