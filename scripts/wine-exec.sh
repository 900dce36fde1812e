#!/usr/bin/env bash
# Runs one Windows program under Wine in $WINEPREFIX (created on first use).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
# Wine needs an absolute prefix path.
WINEPREFIX="$(realpath -m "$WINEPREFIX")"; export WINEPREFIX
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
"$here/wine-prefix.sh" >/dev/null
exec wine "$@"
