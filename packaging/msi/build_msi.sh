#!/usr/bin/env bash
# build_msi.sh OUTPUT PROGRAM VERSION CONFIG_FILE
# Builds the Brimlet package OUTPUT (an .msi) with wixl from brimlet.wxs and
# the program file PROGRAM, with product version VERSION (major.minor.patch).
# CONFIG_FILE, written by the build per configuration, sets the shell
# variables upgrade_code, product_name, folder_name, unit_parameter (yes|no),
# manufacturer, help_link and description, and platform: x86 (the package
# shipped, the 32-bit program in the 32-bit Program Files folder and registry
# view) or x64 (the 64-bit program in the native ones; for tests only), and
# checks_dll, the custom action that checks the properties (of that width).
#
# The product code is derived from the upgrade code and the version, so a
# version of a configuration always has the same product code (the one that
# Intune and scripts detect it by), and each new version a new one, as a
# major upgrade needs. The program's component keeps one code per
# configuration for the life of the product.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: build_msi.sh OUTPUT PROGRAM VERSION CONFIG_FILE" >&2; exit 2; }
output="$1"; program="$2"; version="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=/dev/null
source "$4"
# shellcheck source=package_steps.sh
source "$here/package_steps.sh"
check_version build_msi "$version"
[ -f "$program" ] || { echo "build_msi: no program $program" >&2; exit 1; }
[ -f "${checks_dll:-}" ] || { echo "build_msi: no custom action DLL ${checks_dll:-} (target brimlet_checks)" >&2; exit 1; }

case "${platform:-x86}" in
  x86) ;;
  # The x64 package of the tests has codes of its own, derived from the
  # shipped one's: it never upgrades or removes an installation of that one.
  x64) upgrade_code="$(uuid5 "$upgrade_code" "x64 package")" ;;
  *) echo "build_msi: platform \"$platform\" is neither x86 nor x64" >&2; exit 1 ;;
esac
platform="${platform:-x86}"
if [ "$platform" = x64 ]; then folders=(ProgramFiles64Folder yes); else folders=(ProgramFilesFolder no); fi
product_code="$(uuid5 "$upgrade_code" "product $version")"
component_guid="$(uuid5 "$upgrade_code" "component brimlet.exe")"

properties=(WATCHPATH POLLSECONDS WARN DANGER UNIT SHOWDETAILS AUTOSHOW LOGHOST LOGPORT)
[ "$unit_parameter" = yes ] || properties=(WATCHPATH POLLSECONDS WARN DANGER SHOWDETAILS AUTOSHOW LOGHOST LOGPORT)
command_line=""
for p in "${properties[@]}"; do command_line+="${command_line:+ }[$p]"; done
secure="$(IFS=';'; echo "${properties[*]}")"

# wixl finds files by names relative to the folder it runs in.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/brimlet.exe"
cp "$checks_dll" "$stage/brimlet_checks.dll"
(cd "$stage" && wixl -a "$platform" -o package.msi \
   -D ProgramFilesFolder="${folders[0]}" -D Win64="${folders[1]}" \
   -D Version="$version" -D ProductCode="$product_code" -D UpgradeCode="$upgrade_code" \
   -D ComponentGuid="$component_guid" -D ProductName="$product_name" \
   -D FolderName="$folder_name" -D UnitParameter="$unit_parameter" \
   -D Manufacturer="$manufacturer" -D HelpLink="$help_link" -D Description="$description" \
   -D ProgramFile=brimlet.exe -D CommandLine="$command_line" "$here/brimlet.wxs")
finish_package "$stage/package.msi" "$upgrade_code" "$version" "$secure" "$output"
echo "build_msi: $output (version $version, product code {$product_code})"
