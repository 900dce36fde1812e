# Environment shared by every Wine invocation of the project (sourced, with
# WINEPREFIX set), and the one place that decides which Wine runs:
#   - a prefix directly inside a build tree serves that tree's programs, so
#     the tree's width decides (its file wine-arch, written by CMake);
#   - otherwise the run's choice, WINE_ARCH or the probe, all made by
#     scripts/wine-arch.sh.
# 32: Debian's wine in a win32 prefix. 64: the wine64 loader in a win64
# prefix, through scripts/wine64/wine first on PATH (and WINELOADER), since
# /usr/bin/wine prefers the 32-bit loader even where it cannot run.
_brimlet_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ -n "${WINEPREFIX:-}" ] && [ -f "$(dirname "$WINEPREFIX")/wine-arch" ]; then
  BRIMLET_WINE_ARCH="$(tr -d ' \r\n' <"$(dirname "$WINEPREFIX")/wine-arch")"
else
  BRIMLET_WINE_ARCH="$("$_brimlet_scripts/wine-arch.sh")" || return 1 2>/dev/null || exit 1
fi
export BRIMLET_WINE_ARCH
# Without the 64-bit folder from an earlier choice.
PATH=":$PATH:"
PATH="${PATH//:$_brimlet_scripts\/wine64:/:}"
PATH="${PATH#:}"; PATH="${PATH%:}"
if [ "$BRIMLET_WINE_ARCH" = 64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  PATH="$_brimlet_scripts/wine64:$PATH"
else
  export WINEARCH=win32
  if [ "${WINELOADER:-}" = /usr/lib/wine/wine64 ]; then
    unset WINELOADER
  fi
fi
export PATH
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
