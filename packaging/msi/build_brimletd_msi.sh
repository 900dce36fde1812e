#!/usr/bin/env bash
# build_brimletd_msi.sh OUTPUT PROGRAM ACTIONS_DLL VERSION PLATFORM
# Builds the log host's package OUTPUT (brimletd-<version>-<platform>.msi)
# with wixl from brimletd.wxs, the program brimletd.exe PROGRAM and the
# custom actions ACTIONS_DLL of the same width, with product version VERSION
# (major.minor.patch). PLATFORM: x64 (the 64-bit program in the native
# Program Files folder and registry view) or x86 (the 32-bit program, in the
# 32-bit ones). The product code follows from the upgrade code and the
# version, as in the monitor's package (build_msi.sh).
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: build_brimletd_msi.sh OUTPUT PROGRAM ACTIONS_DLL VERSION PLATFORM" >&2; exit 2; }
output="$1"; program="$2"; actions="$3"; version="$4"; platform="$5"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=package_steps.sh
source "$here/package_steps.sh"
check_version build_brimletd_msi "$version"
[ -f "$program" ] || { echo "build_brimletd_msi: no program $program" >&2; exit 1; }
[ -f "$actions" ] || { echo "build_brimletd_msi: no custom actions $actions" >&2; exit 1; }

# One upgrade code per width, fixed for the life of the product: the two
# packages never upgrade or remove each other.
case "$platform" in
  x64) upgrade_code=6AA00D33-F578-4FC9-AE59-45AF13A475B9; folders=(ProgramFiles64Folder yes) ;;
  x86) upgrade_code=7E192E57-E5E5-4583-B31D-CE624652AA2F; folders=(ProgramFilesFolder no) ;;
  *) echo "build_brimletd_msi: platform \"$platform\" is neither x86 nor x64" >&2; exit 1 ;;
esac
product_code="$(uuid5 "$upgrade_code" "product $version")"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/brimletd.exe"
cp "$actions" "$stage/brimletd_actions.dll"
(cd "$stage" && wixl -a "$platform" -o package.msi \
   -D ProgramFilesFolder="${folders[0]}" -D Win64="${folders[1]}" \
   -D Version="$version" -D ProductCode="$product_code" -D UpgradeCode="$upgrade_code" \
   -D ServiceGuid="$(uuid5 "$upgrade_code" "component service")" \
   -D EventSourceGuid="$(uuid5 "$upgrade_code" "component event source")" \
   -D SettingsGuid="$(uuid5 "$upgrade_code" "component settings")" \
   -D Manufacturer="Brimlet maintainers" "$here/brimletd.wxs")
# The message file's path as an expandable string, as the Event Log's
# sources have it (wixl writes a plain one).
msibuild "$stage/package.msi" -q \
  "UPDATE \`Registry\` SET \`Value\` = '#%[INSTALLDIR]brimletd.exe' WHERE \`Name\` = 'EventMessageFile'"
finish_package "$stage/package.msi" "$upgrade_code" "$version" \
  "PORT;DANGERONLY;FILTER;ALLOW;RATE;BRIMLETD_ARGUMENTS" "$output"
echo "build_brimletd_msi: $output (version $version, product code {$product_code})"
