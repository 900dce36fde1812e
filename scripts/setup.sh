#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent: when everything is present it changes nothing and says so.
#
# Two steps. First every package of the host's own architecture: the build
# cannot go on without them, so a failure there fails, naming the packages
# and quoting the archive. Then wine32, the one i386 package, on its own: an
# archive whose i386 packages do not match the installed amd64 ones, a policy
# without foreign architectures or a host that runs no 32-bit programs cannot
# have it. Setup then says why in one line and succeeds: the Windows tests
# take the 64-bit path. Whether this host runs 32-bit programs at all is
# scripts/wine-arch.sh's first answer, asked there.
#
# BRIMLET_SETUP_RETRY_WAIT (seconds between tries of the index update) and
# BRIMLET_SETUP_POLICY_RC (where the no-service-start policy goes) are for
# the tests of this script, with wine-arch.sh's BRIMLET_PROBE_LD32 and
# BRIMLET_PROBE_WINE32.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

required=(
  make cmake ninja-build g++ googletest python3
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wine locales-all
  dpkg-dev lintian systemd iproute2 util-linux e2fsprogs prometheus-node-exporter
  wixl msitools osslsigncode openssl
)
wine32=wine32:i386
update_tries=3
retry_wait="${BRIMLET_SETUP_RETRY_WAIT:-3}"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${required[@]}"; do
  installed "$p" || missing+=("$p")
done
want32=no
no32_reason=""
if ! installed "$wine32"; then
  # The probe starts no Wine while wine32 is not there; its one answer that
  # rules wine32 out is the host's.
  probed="$(bash "$here/wine-arch.sh" --why --host)"
  if [ "$probed" = "64 this host runs no 32-bit programs" ]; then
    no32_reason="${probed#64 }"
  else
    want32=yes
  fi
fi

if [ ${#missing[@]} -eq 0 ] && [ "$want32" = no ]; then
  echo "setup: all packages present${no32_reason:+ (no wine32: $no32_reason)}"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: missing packages (${missing[*]}); run 'make setup' as root" >&2
    exit 1
  fi
  echo "setup: wine32 is not installed and only root can add it ('make setup' as root);" \
       "the Windows tests take the 64-bit path"
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The i386 architecture, added for wine32 and taken away again when wine32
# cannot be had, so that the host's later updates do not fetch its indexes.
added_i386=no
if [ "$want32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  if dpkg --add-architecture i386 >"$work/arch" 2>&1; then
    added_i386=yes
  else
    want32=no
    no32_reason="dpkg refuses the i386 architecture ($(head -n 1 "$work/arch"))"
  fi
fi

# The archive can be in the middle of a sync: a few tries, then the lists
# there are.
for try in $(seq 1 "$update_tries"); do
  if apt-get update -q >"$work/update" 2>&1; then
    failed_indexes=""
    break
  fi
  failed_indexes="$(grep -E '^(E|W): Failed to fetch ' "$work/update" | sed -E 's/^(E|W): Failed to fetch //')"
  [ "$try" -lt "$update_tries" ] && sleep "$retry_wait"
done
if [ -n "$failed_indexes" ]; then
  echo "setup: after $update_tries tries these package indexes could not be fetched;" \
       "going on with the lists there are:"
  sed 's/^/    /' <<<"$failed_indexes"
elif grep -q '^E:' "$work/update"; then
  echo "setup: the package index update failed; going on with the lists there are:"
  grep '^E:' "$work/update" | sed 's/^/    /'
fi

# apt_install LOG PACKAGE...: apt-get's output on the console and in LOG.
apt_install() {
  local log="$1"; shift
  apt-get install -y -q --no-install-recommends "$@" 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}

# node-exporter's package would start and enable a service listening on
# every address; the tests start their own on loopback. No service starts
# while setup installs (policy-rc.d), and that one is not enabled.
policy="${BRIMLET_SETUP_POLICY_RC:-/usr/sbin/policy-rc.d}"
own_policy=no
if [ ${#missing[@]} -gt 0 ] && [ ! -e "$policy" ]; then
  printf '#!/bin/sh\n# Written by Brimlet'"'"'s setup while it installs packages.\nexit 101\n' >"$policy" &&
    chmod 755 "$policy" && own_policy=yes
fi
trap '[ "$own_policy" = yes ] && rm -f "$policy"; rm -rf "$work"' EXIT

if [ ${#missing[@]} -gt 0 ]; then
  if ! apt_install "$work/required" "${missing[@]}"; then
    echo "setup: cannot install the packages the build needs: ${missing[*]}" >&2
    echo "setup: the archive says:" >&2
    grep -E '^(E:| .* : Depends: )' "$work/required" | sed 's/^/    /' >&2
    exit 1
  fi
  echo "setup: installed ${missing[*]}"
  if [[ " ${missing[*]} " == *" prometheus-node-exporter "* ]] && command -v systemctl >/dev/null &&
     [ -d /run/systemd/system ]; then
    systemctl disable --now prometheus-node-exporter >/dev/null 2>&1 || true
    echo "setup: the prometheus-node-exporter service is left disabled (the tests start their own)"
  fi
fi

if [ "$want32" = yes ]; then
  if apt_install "$work/wine32" "$wine32" >/dev/null; then
    echo "setup: installed $wine32"
  else
    why="$(grep -m 1 -E ' : Depends: ' "$work/wine32" | sed -E 's/^ +//')"
    [ -n "$why" ] || why="$(grep -m 1 '^E:' "$work/wine32" | sed -E 's/^E: //')"
    no32_reason="$wine32 cannot be installed from this archive (${why:-apt-get failed})"
    if [ "$added_i386" = yes ] && [ -z "$(dpkg-query -W -f='${Package}:${Architecture}\n' 2>/dev/null | grep ':i386$')" ]; then
      dpkg --remove-architecture i386 >/dev/null 2>&1 || true
    fi
  fi
fi
if [ -n "$no32_reason" ] && ! installed "$wine32"; then
  echo "setup: no wine32: $no32_reason; the Windows tests take the 64-bit path"
fi
exit 0
