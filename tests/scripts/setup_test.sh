#!/usr/bin/env bash
# setup_test.sh SETUP_SCRIPT SCRATCH_DIR
# scripts/setup.sh against stand-ins for dpkg, dpkg-query, apt-get and id on
# PATH: an archive that fails some indexes, one that cannot give wine32, one
# that refuses a package the build needs, a host without 32-bit programs.
# Changes nothing on the machine.
set -uo pipefail
setup="$(realpath "$1")"
scratch="$2"
failed=0
rm -rf "$scratch"

# stand_ins DIR: the four commands, keeping their state in DIR/state.
stand_ins() {
  local bin="$1/bin" state="$1/state"
  mkdir -p "$bin" "$state"
  touch "$state/installed" "$state/arches" "$state/calls"
  cat >"$bin/dpkg-query" <<'SH'
#!/bin/sh
# -W -f=FORMAT PACKAGE, or -W -f=FORMAT for every package
[ -n "$3" ] || { sed 's/$/\n/' "$STATE/installed"; exit 0; }
grep -qxF "$3" "$STATE/installed" && { printf 'install ok installed'; exit 0; }
exit 1
SH
  cat >"$bin/dpkg" <<'SH'
#!/bin/sh
case "$1" in
  --print-foreign-architectures) cat "$STATE/arches" ;;
  --add-architecture) [ -e "$STATE/refuse-arch" ] && { echo "dpkg: error: foreign architectures are not allowed" >&2; exit 2; }
                      echo "$2" >>"$STATE/arches" ;;
  --remove-architecture) grep -vxF "$2" "$STATE/arches" >"$STATE/arches.new"; mv "$STATE/arches.new" "$STATE/arches" ;;
esac
SH
  cat >"$bin/apt-get" <<'SH'
#!/bin/sh
echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
  [ -e "$STATE/update-fails" ] || exit 0
  echo "E: Failed to fetch http://archive.example/dists/suite/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
  exit 100
fi
shift
for p in "$@"; do
  case "$p" in -*) continue ;; esac
  if grep -qxF "$p" "$STATE/refused"; then
    echo " $p : Depends: libskewed:i386 but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
for p in "$@"; do case "$p" in -*) ;; *) echo "$p" >>"$STATE/installed" ;; esac; done
SH
  printf '#!/bin/sh\necho 0\n' >"$bin/id"
  printf '#!/bin/sh\nexit 0\n' >"$bin/ld32-runs"
  printf '#!/bin/sh\necho "Exec format error" >&2; exit 126\n' >"$bin/ld32-refused"
  chmod +x "$bin"/*
  touch "$state/refused"
}

# Every case starts with none of the packages installed but those named.
#     name                        ld32     refused     state flags    status expected output   expected afterwards
cases=(
  "update fails in part|runs||update-fails|0|could not be fetched|installed wine32:i386"
  "wine32 not installable|runs|wine32:i386||0|no wine32: wine32:i386 cannot be installed from this archive (wine32:i386 : Depends: libskewed:i386|no i386"
  "a required package refused|runs|wixl||1|cannot install the packages the build needs: |not installed wixl"
  "foreign architectures refused|runs||refuse-arch|0|no wine32: dpkg refuses the i386 architecture (dpkg: error|no i386"
  "no 32-bit programs|refused||all-but-wine32|0|all packages present (no wine32: this host runs no 32-bit programs)|no apt-get"
  "everything present|runs||all|0|all packages present|no apt-get"
)
packages="$(sed -n '/^required=(/,/^)/p' "$setup" | sed '1d;$d' | tr ' ' '\n' | grep -v '^$')"
n=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name ld refused flag status_expected said after <<<"$entry"
  n=$((n + 1)); dir="$scratch/$n"
  stand_ins "$dir"
  export STATE="$dir/state"
  [ -n "$refused" ] && echo "$refused" >"$STATE/refused"
  case "$flag" in
    update-fails|refuse-arch) touch "$STATE/$flag" ;;
    all) { echo "$packages"; echo wine32:i386; } >"$STATE/installed" ;;
    all-but-wine32) echo "$packages" >"$STATE/installed" ;;
  esac
  output="$(PATH="$dir/bin:$PATH" BRIMLET_PROBE_LD32="$dir/bin/ld32-$ld" BRIMLET_PROBE_WINE32="$dir/bin/no-wine32" \
            BRIMLET_BUILD="$dir/build" BRIMLET_SETUP_RETRY_WAIT=0 BRIMLET_SETUP_POLICY_RC="$dir/policy-rc.d" \
            bash "$setup" 2>&1)"; status=$?
  problem=""
  [ "$status" = "$status_expected" ] || problem="status $status"
  grep -qF -- "$said" <<<"$output" || problem+=" no line [$said]"
  case "$after" in
    "installed "*) grep -qxF "${after#installed }" "$STATE/installed" || problem+=" ${after#installed } not installed" ;;
    "not installed "*) grep -qxF "${after#not installed }" "$STATE/installed" && problem+=" ${after#not installed } installed" ;;
    "no i386") grep -qx i386 "$STATE/arches" && problem+=" i386 left added" ;;
    "no apt-get") [ -s "$STATE/calls" ] && problem+=" apt-get ran: $(head -n 1 "$STATE/calls")" ;;
  esac
  if [ -z "$problem" ]; then echo "ok   $name"; else
    echo "FAIL $name:$problem"; sed 's/^/       /' <<<"$output"; failed=1; fi
done
rm -rf "$scratch"
exit $failed
