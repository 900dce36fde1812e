#!/usr/bin/env bash
# Creates the Wine prefix $WINEPREFIX once, under a lock so that parallel
# tests do not race: a 32-bit or 64-bit prefix as scripts/wine-arch.sh decides,
# no crash dialog, unmanaged windows (a bare Xvfb has no window manager) and
# the Wine fonts copied in. A Wine that cannot start is an error that says so.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
# Wine needs an absolute prefix path.
WINEPREFIX="$(realpath -m "$WINEPREFIX")"; export WINEPREFIX
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
# The ready mark holds the prefix's WINEARCH (empty in prefixes made before
# there was a choice: win32).
if [ -f "$WINEPREFIX/.brimlet-ready" ] &&
   [ "$(cat "$WINEPREFIX/.brimlet-ready")" = "$WINEARCH" -o \
     \( ! -s "$WINEPREFIX/.brimlet-ready" -a "$WINEARCH" = win32 \) ]; then
  exit 0
fi
echo "wine-prefix: creating $WINEPREFIX ($WINEARCH)" >&2
rm -rf "$WINEPREFIX"
log="$WINEPREFIX.log"
# The server writes the registry files when it ends: wait for it before
# looking for them.
if ! wineboot -i </dev/null >"$log" 2>&1 || ! wineserver -w || [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-prefix: Wine could not start, so no prefix was made in $WINEPREFIX" >&2
  echo "wine-prefix: $BRIMLET_WINE_ARCH-bit Wine ($WINEARCH) said:" >&2
  tail -n 5 "$log" | sed 's/^/    /' >&2
  if [ "$BRIMLET_WINE_ARCH" = 32 ]; then
    probed="$("$here/wine-arch.sh" --why --host)"
    if [ "${probed%% *}" = 64 ]; then
      echo "wine-prefix: ${probed#* }; the 64-bit build runs here" \
           "(make test WINE_ARCH=64, build/win64)" >&2
    fi
  fi
  exit 1
fi
rm -f "$log"
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
wineserver -w
echo "$WINEARCH" >"$WINEPREFIX/.brimlet-ready"
