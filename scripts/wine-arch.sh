#!/usr/bin/env bash
# wine-arch.sh [--host]
# Prints which Windows programs the Wine scripts run here: 64 or 32.
# BRIMLET_WINE_ARCH or WINE_ARCH (32 or 64) in the environment decides; without
# them, or with --host, a probe: 32 when this host executes 32-bit programs
# (its 32-bit loader answers), else 64. Some kernels and hypervisors run no
# 32-bit user programs at all; there Debian's wine32 cannot start.
set -uo pipefail
if [ "${1:-}" != "--host" ]; then
  choice="${BRIMLET_WINE_ARCH:-${WINE_ARCH:-}}"
  case "$choice" in
    32|64) echo "$choice"; exit 0 ;;
    "") ;;
    *) echo "wine-arch: WINE_ARCH is \"$choice\"; it must be 32 or 64" >&2; exit 2 ;;
  esac
fi
if /lib/ld-linux.so.2 --version </dev/null >/dev/null 2>&1; then
  echo 32
else
  echo 64
fi
