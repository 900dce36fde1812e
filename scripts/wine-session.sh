#!/usr/bin/env bash
# wine-session.sh PREFIX COMMAND...
# Runs COMMAND (typically ctest) with a warm Wine in PREFIX: a persistent
# wineserver and the desktop started beforehand with their output on
# /dev/null, so that they do not hold the test's output pipe open, and the
# server stopped afterwards. Needs a display (run it inside xvfb-run).
# WINE_SESSION_DEBUG_FILE, when set, names a file that takes the standard
# error of Wine's own processes instead (with it, of the services that
# Wine's service manager starts), for the debug channels of WINEDEBUG.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="$(realpath -m "$1")"; shift
source "$here/wine-env.sh"

wineserver -k >/dev/null 2>&1 || true
"$here/wine-prefix.sh" || exit 1
wineserver -p </dev/null >/dev/null 2>&1
if ! wine wineboot </dev/null >/dev/null 2>"${WINE_SESSION_DEBUG_FILE:-/dev/null}"; then
  echo "wine-session: Wine ($WINEARCH) does not start in $WINEPREFIX" >&2
  wineserver -k >/dev/null 2>&1 || true
  exit 1
fi
# Wine starts its desktop (explorer, with the taskbar window "Shell_TrayWnd"
# and the notification area) for the first program that touches the desktop.
# On Windows the taskbar is there at logon; start it now so that programs
# under test find it, with its output on /dev/null.
wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
"$@"
status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
