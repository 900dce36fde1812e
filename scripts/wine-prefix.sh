#!/usr/bin/env bash
# Creates the Wine prefix $WINEPREFIX once, under a lock so that parallel
# tests do not race: a 32-bit prefix, no crash dialog, unmanaged windows (a
# bare Xvfb has no window manager) and the Wine fonts copied in.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
# Wine needs an absolute prefix path.
WINEPREFIX="$(realpath -m "$WINEPREFIX")"; export WINEPREFIX
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$WINEPREFIX/.brimlet-ready" ]; then
  exit 0
fi
echo "wine-prefix: creating $WINEPREFIX" >&2
rm -rf "$WINEPREFIX"
wineboot -i </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
wineserver -w
touch "$WINEPREFIX/.brimlet-ready"
