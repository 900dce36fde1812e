# Environment shared by every Wine invocation of the project (sourced, with
# WINEPREFIX set): the Wine that scripts/wine-arch.sh chooses for the prefix
# (a prefix directly inside a build tree takes the tree's width; any other
# the run's choice, WINE_ARCH or the probe).
# 32: Debian's wine in a win32 prefix. 64: the wine64 loader in a win64
# prefix, through scripts/wine64/wine first on PATH (and WINELOADER), since
# /usr/bin/wine prefers the 32-bit loader even where it cannot run.
_brimlet_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BRIMLET_WINE_ARCH="$("$_brimlet_scripts/wine-arch.sh" ${WINEPREFIX:+--prefix "$WINEPREFIX"})" ||
  return 1 2>/dev/null || exit 1
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
