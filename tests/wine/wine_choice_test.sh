#!/usr/bin/env bash
# wine_choice_test.sh SCRIPTS_DIR SCRATCH_DIR
# Which Wine the project's scripts choose (scripts/wine-env.sh) for a prefix
# inside a build tree and outside one, with and without WINE_ARCH, and that a
# Wine which cannot start fails the prefix with the reason. Runs natively;
# starts no Wine.
set -uo pipefail
scripts="$(cd "$1" && pwd)"
scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch/tree32" "$scratch/tree64" "$scratch/fake"
echo "BRIMLET_WINDOWS_WIDTH:INTERNAL=32" >"$scratch/tree32/CMakeCache.txt"
echo "BRIMLET_WINDOWS_WIDTH:INTERNAL=64" >"$scratch/tree64/CMakeCache.txt"
host="$(env -u BRIMLET_WINE_PATH "$scripts/wine-arch.sh" --host)"
failed=0

# choice PREFIX BRIMLET_WINE_PATH WINE_ARCH -> "WINEARCH loader wine"
choice() {
  env -u BRIMLET_WINE_PATH -u WINE_ARCH -u WINELOADER \
    ${2:+BRIMLET_WINE_PATH="$2 chosen"} ${3:+WINE_ARCH=$3} WINEPREFIX="$1" bash -c '
      source "$0/wine-env.sh" || exit 1
      echo "$WINEARCH ${WINELOADER:-none} $(command -v wine)"' "$scripts"
}

expect() {  # name expected actual
  if [ "$2" = "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: expected '$2', got '$3'"
    failed=1
  fi
}

ours="$scripts/wine64/wine"
system="$(env -u WINELOADER PATH="${PATH//$scripts\/wine64:/}" bash -c 'command -v wine')"
[ "$host" = 64 ] && probed="win64 /usr/lib/wine/wine64 $ours" || probed="win32 none $system"
#     name                                   prefix              make's answer WINE_ARCH expected
cases=(
  "tree of 64 bits wins over the choice|$scratch/tree64/wineprefix|32||win64 /usr/lib/wine/wine64 $ours"
  "tree of 32 bits wins over WINE_ARCH|$scratch/tree32/wineprefix||64|win32 none $system"
  "WINE_ARCH=64 outside a tree|$scratch/alone/prefix||64|win64 /usr/lib/wine/wine64 $ours"
  "WINE_ARCH=32 outside a tree|$scratch/alone/prefix||32|win32 none $system"
  "the make's choice before WINE_ARCH|$scratch/alone/prefix|32|64|win32 none $system"
  "the probe without a choice|$scratch/alone/prefix|||$probed"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name prefix chosen forced expected <<<"$entry"
  expect "$name" "$expected" "$(choice "$prefix" "$chosen" "$forced")"
done

# A 64-bit choice sourced first must not leak its loader into a 32-bit tree.
leak="$(env -u WINELOADER -u BRIMLET_WINE_PATH WINEPREFIX="$scratch/alone/prefix" WINE_ARCH=64 bash -c '
  source "$0/wine-env.sh"
  WINEPREFIX="$1/tree32/wineprefix"; source "$0/wine-env.sh"
  echo "$WINEARCH ${WINELOADER:-none} $(command -v wine)"' "$scripts" "$scratch")"
expect "a 32-bit tree after a 64-bit choice" "win32 none $system" "$leak"

answer="$(env -u BRIMLET_WINE_PATH WINE_ARCH=33 "$scripts/wine-arch.sh" 2>&1)"; status=$?
expect "WINE_ARCH=33 is refused" "2 wine-arch: WINE_ARCH is \"33\"; it must be 32 or 64" \
  "$status $answer"

# The probe's answers, against stand-ins for the two 32-bit loaders.
printf '#!/bin/sh\nexit 0\n' >"$scratch/fake/ld32-runs"
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' \
  >"$scratch/fake/refused"
printf '#!/bin/sh\n[ "$1 $2 $3 $4" = "cmd.exe /c echo brimlet-probe" ] && echo brimlet-probe\n' \
  >"$scratch/fake/wine32-runs"
chmod +x "$scratch/fake/"*
#     name                               32-bit C loader  wine32       WINE_ARCH  expected
probes=(
  "wine32 absent|ld32-runs|absent||64 wine32 is not installed"
  "wine32 there, its loader refused|ld32-runs|refused||64 wine32 is installed but cannot start a 32-bit program (cannot execute binary file: Exec format error)"
  "wine32 there and working|ld32-runs|wine32-runs||32 32-bit Wine runs here"
  "no 32-bit programs at all|refused|wine32-runs||64 this host runs no 32-bit programs"
  "forced|ld32-runs|wine32-runs|64|64 WINE_ARCH=64"
)
for entry in "${probes[@]}"; do
  IFS='|' read -r name ld wine forced expected <<<"$entry"
  rm -rf "$scratch/build"
  expect "probe: $name" "$expected" "$(env -u BRIMLET_WINE_PATH -u WINE_ARCH ${forced:+WINE_ARCH=$forced} \
    BRIMLET_BUILD="$scratch/build" BRIMLET_PROBE_LD32="$scratch/fake/$ld" \
    BRIMLET_PROBE_WINE32="$scratch/fake/$wine" "$scripts/wine-arch.sh" --why 2>&1)"
done

# A Wine that cannot start: no prefix, a failure, and the reason.
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' \
  >"$scratch/fake/wineboot"
chmod +x "$scratch/fake/wineboot"
for arch in 32 64; do
  output="$(PATH="$scratch/fake:$PATH" WINEPREFIX="$scratch/tree$arch/wineprefix" \
            "$scripts/wine-prefix.sh" 2>&1)"; status=$?
  expect "wine-prefix fails when $arch-bit Wine cannot start" 1 "$status"
  case "$output" in
    *"Wine could not start"*"Exec format error"*) echo "ok   the $arch-bit failure says why" ;;
    *) echo "FAIL the $arch-bit failure says: $output"; failed=1 ;;
  esac
  [ ! -e "$scratch/tree$arch/wineprefix/.brimlet-ready" ] ||
    { echo "FAIL a $arch-bit prefix was marked ready"; failed=1; }
done

rm -rf "$scratch"
exit $failed
