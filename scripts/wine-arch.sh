#!/usr/bin/env bash
# wine-arch.sh [--why] [--host] [--prefix PREFIX]
# Which Windows programs, 32 or 64, run under which Wine here, and why: the
# one place that decides it, and the one probe of this host's Wine. Every
# script that runs Wine (through scripts/wine-env.sh), the Makefile and the
# setup ask here; nothing else looks at the host's 32-bit side. Prints the
# width; with --why, the width, a blank and the reason ("64 wine32 is not
# installed").
#
# In this order:
#   0. with --prefix, a prefix directly inside a Windows build tree: that
#      tree's width (its programs run only in a Wine of their width), as
#      CMake recorded it in the tree's cache (BRIMLET_WINDOWS_WIDTH);
#   1. BRIMLET_WINE_PATH, the answer a make run took ("64 WINE_ARCH=64"), so
#      every script of one run follows the same choice;
#   2. WINE_ARCH (32 or 64), a choice by hand;
#   3. the probe: can this host's Wine run a 32-bit program? That takes more
#      than a 32-bit C library: wine32 must be installed (an archive without
#      matching i386 packages cannot install it) and a 32-bit program must
#      start under it. Its first answer, "this host runs no 32-bit
#      programs", is also what the setup asks before it tries to install
#      wine32. Starting Wine takes seconds: that answer is written to
#      $BRIMLET_BUILD/wine-probe (the build folder) and read from there until
#      wine32 is installed, removed or upgraded.
# --host skips 0 to 2: the probe's answer alone.
#
# BRIMLET_PROBE_LD32 and BRIMLET_PROBE_WINE32 name the 32-bit C library's
# loader and Wine's 32-bit loader, for the tests of this script and of the
# setup.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
why=no probe_only=no prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --why) why=yes ;;
    --host) probe_only=yes ;;
    --prefix) [ $# -ge 2 ] || { echo "wine-arch: --prefix needs a prefix" >&2; exit 2; }
              prefix="$2"; shift ;;
    *) echo "usage: wine-arch.sh [--why] [--host] [--prefix PREFIX]" >&2; exit 2 ;;
  esac
  shift
done

answer() {  # width reason
  if [ "$why" = yes ]; then echo "$1 $2"; else echo "$1"; fi
  exit 0
}

if [ "$probe_only" = no ]; then
  if [ -n "$prefix" ]; then
    tree="$(dirname "$prefix")"
    width="$(sed -n 's/^BRIMLET_WINDOWS_WIDTH:INTERNAL=//p' "$tree/CMakeCache.txt" 2>/dev/null | tr -d ' \r')"
    case "$width" in
      32|64) answer "$width" "the build tree $tree holds $width-bit programs" ;;
    esac
  fi
  taken="${BRIMLET_WINE_PATH:-}"
  case "$taken" in
    "32 "?*|"64 "?*) answer "${taken%% *}" "${taken#* }" ;;
    "") ;;
    *) echo "wine-arch: BRIMLET_WINE_PATH is \"$taken\"; it must be a width and a reason" >&2; exit 2 ;;
  esac
  choice="${WINE_ARCH:-}"
  case "$choice" in
    32|64) answer "$choice" "WINE_ARCH=$choice" ;;
    "") ;;
    *) echo "wine-arch: WINE_ARCH is \"$choice\"; it must be 32 or 64" >&2; exit 2 ;;
  esac
fi

ld32="${BRIMLET_PROBE_LD32:-/lib/ld-linux.so.2}"
wine32="${BRIMLET_PROBE_WINE32:-/usr/lib/wine/wine}"

if ! "$ld32" --version </dev/null >/dev/null 2>&1; then
  answer 64 "this host runs no 32-bit programs"
fi
if [ ! -x "$wine32" ]; then
  answer 64 "wine32 is not installed"
fi

# The kept answer holds the loader's identity: another wine32 asks again.
cache_dir="${BRIMLET_BUILD:-$(dirname "$here")/build}"
cache="$cache_dir/wine-probe"
key="$(stat -L -c '%d:%i:%s:%Y' "$wine32" 2>/dev/null)"
if [ -f "$cache" ] && [ "$(head -n 1 "$cache")" = "$key" ]; then
  kept="$(sed -n 2p "$cache")"
  case "$kept" in "32 "?*|"64 "?*) answer "${kept%% *}" "${kept#* }" ;; esac
fi

# A 32-bit program under wine32 in a throwaway prefix: Wine's own cmd.exe.
scratch="$(mktemp -d)"
trap 'WINEPREFIX="$scratch/prefix" wineserver -k >/dev/null 2>&1; rm -rf "$scratch"' EXIT
said="$(env WINEPREFIX="$scratch/prefix" WINEARCH=win32 WINEDEBUG=-all \
          WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINELOADER="$wine32" \
          timeout 120 "$wine32" cmd.exe /c echo brimlet-probe </dev/null 2>&1)"
if grep -q brimlet-probe <<<"$said"; then
  result="32 32-bit Wine runs here"
else
  said_last="$(grep -v '^[[:space:]]*$' <<<"$said" | tail -n 1 | tr -d '\r' | cut -c1-160)"
  result="64 wine32 is installed but cannot start a 32-bit program (${said_last:-no output})"
fi
if mkdir -p "$cache_dir" 2>/dev/null; then
  printf '%s\n%s\n' "$key" "$result" >"$cache.tmp" 2>/dev/null && mv -f "$cache.tmp" "$cache"
fi
answer "${result%% *}" "${result#* }"
