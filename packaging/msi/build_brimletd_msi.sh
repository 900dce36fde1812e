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
if ! [[ "$version" =~ ^([0-9]{1,3})\.([0-9]{1,3})\.([0-9]{1,5})$ ]] || [ "${BASH_REMATCH[1]}" -gt 127 ]; then
  echo "build_brimletd_msi: version \"$version\" is not major.minor.patch up to 127.255.65534" >&2
  exit 1
fi
[ -f "$program" ] || { echo "build_brimletd_msi: no program $program" >&2; exit 1; }
[ -f "$actions" ] || { echo "build_brimletd_msi: no custom actions $actions" >&2; exit 1; }

# One upgrade code per width, fixed for the life of the product: the two
# packages never upgrade or remove each other.
case "$platform" in
  x64) upgrade_code=6AA00D33-F578-4FC9-AE59-45AF13A475B9; folders=(ProgramFiles64Folder yes) ;;
  x86) upgrade_code=7E192E57-E5E5-4583-B31D-CE624652AA2F; folders=(ProgramFilesFolder no) ;;
  *) echo "build_brimletd_msi: platform \"$platform\" is neither x86 nor x64" >&2; exit 1 ;;
esac
uuid5() {
  python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$@"
}
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
# The properties must reach the elevated part of the installation also when
# msiexec was started without elevation.
current="$(msiinfo export "$stage/package.msi" Property | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }' | tr -d '\r')"
msibuild "$stage/package.msi" -q \
  "UPDATE \`Property\` SET \`Value\` = '${current:+$current;}PORT;DANGERONLY;FILTER;ALLOW;RATE;BRIMLETD_ARGUMENTS' WHERE \`Property\` = 'SecureCustomProperties'"
# The message file's path as an expandable string, as the Event Log's
# sources have it (wixl writes a plain one).
msibuild "$stage/package.msi" -q \
  "UPDATE \`Registry\` SET \`Value\` = '#%[INSTALLDIR]brimletd.exe' WHERE \`Name\` = 'EventMessageFile'"
# As in the monitor's package (build_msi.sh): an upper bound Wine reads as
# Windows does, and the older version removed before this one is installed.
msibuild "$stage/package.msi" -q \
  "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_DOWNGRADE_DETECTED'"
msibuild "$stage/package.msi" -q \
  "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade_code}', '$version', '127.255.65535', 514, 'WIX_DOWNGRADE_DETECTED')"
msibuild "$stage/package.msi" -q \
  "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 1401 WHERE \`Action\` = 'RemoveExistingProducts'"
mkdir -p "$(dirname "$output")"
mv "$stage/package.msi" "$output"
echo "build_brimletd_msi: $output (version $version, product code {$product_code})"
