#!/usr/bin/env bash
# screenshots.sh [build dir]
# Renders the details window and the About box in each language of the
# Windows build and saves them as PNG files in <build dir>/screenshots/
# (details_en_US.png, about_en_US.png, ...), and turns the pictures of the
# filled windows that the text-fit test left in <build dir>/screenshots/fit/
# and the notification that the main frame's test left in <build dir>/screenshots/
# (BMP) into PNG files beside them. The build dir defaults to the Windows
# build this host runs (build/win32, or build/win64 where scripts/wine-arch.sh
# says 64) and needs its target resource_viewer built; the locales come from
# its dialog_locales.txt. Runs under Xvfb
# when there is no display, with a warm Wine in the build tree's prefix;
# like the Wine test run, it restarts that prefix's wineserver, so do not run
# it while tests of the same build dir are running.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:-$here/../build/win$("$here/wine-arch.sh")}" && pwd)"
viewer="$build/tests/resources/resource_viewer.exe"
out="$build/screenshots"
mapfile -t locales <"$build/dialog_locales.txt"

if [ ! -f "$viewer" ]; then
  echo "screenshots: $viewer is missing; build the target resource_viewer first" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi
if [ -z "${BRIMLET_SCREENSHOT_SESSION:-}" ]; then
  export BRIMLET_SCREENSHOT_SESSION=1
  exec "$here/wine-session.sh" "$build/wineprefix" "$0" "$build"
fi

mkdir -p "$out"
failed=0

# shoot NAME LOCALE DIALOG_ID: shows the dialog, waits (at most 30 s) for the
# viewer to report its window, captures that part of the screen, ends the
# viewer.
shoot() {
  local name="$1" locale="$2" id="$3" geometry="" tries=0 pid
  local report
  report="$(mktemp)"
  LANG="$locale.UTF-8" LC_ALL="$locale.UTF-8" "$build/wine-run.sh" "$viewer" "$id" \
    >"$report" 2>/dev/null </dev/null &
  pid=$!
  while [ -z "$geometry" ] && [ $tries -lt 300 ] && kill -0 "$pid" 2>/dev/null; do
    sleep 0.1
    tries=$((tries + 1))
    geometry="$(head -n 1 "$report" | tr -d '\r')"
  done
  if [ -n "$geometry" ]; then
    read -r left top width height <<<"$geometry"
    sleep 1  # let the X server finish painting the window
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out/$name.png"
    echo "screenshots: $out/$name.png"
  else
    echo "screenshots: the viewer did not show dialog $id for $locale" >&2
    failed=1
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$report"
}

for locale in "${locales[@]}"; do
  shoot "details_$locale" "$locale" 134
  shoot "about_$locale" "$locale" 100
  shoot "largest_items_$locale" "$locale" 140
done
# The text-fit and main frame tests save what the screen showed; PNG is what a
# browser or a document shows.
for picture in "$out"/fit/*.bmp "$out"/notification_*.bmp; do
  [ -f "$picture" ] || continue
  if convert "$picture" "${picture%.bmp}.png"; then
    echo "screenshots: ${picture%.bmp}.png"
  else
    failed=1
  fi
done
exit $failed
