#!/usr/bin/env bash
# Runs one Windows program under Wine in $WINEPREFIX (created on first use).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
"$here/wine-prefix.sh" >/dev/null
exec wine "$@"
