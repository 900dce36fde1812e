#!/usr/bin/env bash
# msi_contents.sh BUILD_MSI CONFIG_FILE PROGRAM [MSI VERSION]
# The package's tables, read with msiinfo, for both command-line forms (the
# nine tokens, and the eight of the percent-only configurations, built here
# from a copy of the configuration): a per-machine package of the tree's
# platform (x86, or x64 in a 64-bit tree), the Run
# value's formula, the properties' defaults, what the elevated part may
# receive, the native custom action that checks the properties (the tree's
# own DLL, of the tree's machine, exporting the row's entry and importing
# Windows' own DLLs only, before the launch conditions, and no script or
# integer conditions left), the downgrade row and when the older version is
# removed; and MSI, the tree's own package of VERSION.
set -uo pipefail
build_msi="$(realpath "$1")"; config="$(realpath "$2")"; program="$(realpath "$3")"
shipped="${4:+$(realpath "$4")}"; shipped_version="${5:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cd "$work" || exit 1
platform="$(. "$config" && echo "${platform:-x86}")"

# table MSI TABLE: its rows, without the three header lines.
table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }
property() { table "$1" Property | awk -F'\t' -v p="$2" '$1 == p { print $2; found = 1 } END { exit !found }'; }

for form in nine eight; do
  cp "$config" config.sh
  if [ "$form" = nine ]; then
    echo "unit_parameter=yes" >>config.sh
    names=(WATCHPATH POLLSECONDS WARN DANGER UNIT SHOWDETAILS AUTOSHOW LOGHOST LOGPORT)
    defaults=('H:\' 300 75 95 % N N 0 0)
  else
    echo "unit_parameter=no" >>config.sh
    names=(WATCHPATH POLLSECONDS WARN DANGER SHOWDETAILS AUTOSHOW LOGHOST LOGPORT)
    defaults=('H:\' 300 75 95 N N 0 0)
  fi
  bash "$build_msi" "$form.msi" "$program" 2.3.4 config.sh >/dev/null || fail "$form: build failed"
  m="$form.msi"

  [ "$(property "$m" ALLUSERS)" = 1 ] || fail "$form: not a per-machine package"
  if [ "${platform:-x86}" = x64 ]; then template='x64;1033'; else template='Intel;1033'; fi
  msiinfo suminfo "$m" | grep -qx "Template: $template" || fail "$form: not an ${platform:-x86} package"
  [ "$(property "$m" ProductVersion)" = 2.3.4 ] || fail "$form: product version"

  formula='"[INSTALLDIR]brimlet.exe"'
  for i in "${!names[@]}"; do
    formula+=" [${names[$i]}]"
    [ "$(property "$m" "${names[$i]}")" = "${defaults[$i]}" ] ||
      fail "$form: ${names[$i]} defaults to [$(property "$m" "${names[$i]}")], not [${defaults[$i]}]"
    property "$m" SecureCustomProperties | tr ';' '\n' | grep -qx "${names[$i]}" ||
      fail "$form: ${names[$i]} is not passed to the elevated installation"
  done
  [ "$form" = eight ] && property "$m" UNIT >/dev/null && fail "eight: has a UNIT property"
  run="$(table "$m" Registry | awk -F'\t' '$3 == "Software\\Microsoft\\Windows\\CurrentVersion\\Run" { print $2 "|" $5 }')"
  [ "$run" = "2|$formula" ] || fail "$form: Run value [$run], expected [2|$formula]"

  # The properties are checked by the DLL of this tree (type 1: a DLL from
  # the Binary table), nothing by a script or a condition's integers: the
  # only launch condition left is the downgrade's.
  table "$m" CustomAction | awk -F'\t' '$1 == "CheckProperties" && $2 % 64 == 1 && $3 == "BrimletChecks" && $4 == "CheckProperties" { ok = 1 } END { exit !ok }' ||
    fail "$form: no DLL custom action CheckProperties: $(table "$m" CustomAction)"
  table "$m" CustomAction | awk -F'\t' '$2 % 8 == 5 || $2 % 8 == 6 { bad = 1 } END { exit bad }' ||
    fail "$form: a script custom action"
  msiinfo extract "$m" Binary.BrimletChecks | cmp -s - "$(. "$config" && echo "$checks_dll")" ||
    fail "$form: the package does not carry the tree's brimlet_checks.dll"
  [ "$(table "$m" LaunchCondition | cut -f1)" = "NOT WIX_DOWNGRADE_DETECTED" ] ||
    fail "$form: launch conditions besides the downgrade's: $(table "$m" LaunchCondition | cut -f1)"
  table "$m" LaunchCondition | grep -q '^NOT WIX_DOWNGRADE_DETECTED	' || fail "$form: no downgrade refusal"
  table "$m" Upgrade | awk -F'\t' '$7 == "WIX_DOWNGRADE_DETECTED" && $2 == "2.3.4" && $3 == "127.255.65535" && $5 == 514 { ok = 1 } END { exit !ok }' ||
    fail "$form: downgrade row $(table "$m" Upgrade | grep DOWNGRADE)"
  step() { table "$m" InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
  [ "$(step InstallValidate)" -lt "$(step RemoveExistingProducts)" ] &&
    [ "$(step RemoveExistingProducts)" -lt "$(step InstallInitialize)" ] ||
    fail "$form: the older version is not removed between InstallValidate and InstallInitialize"
  for sequence in InstallUISequence InstallExecuteSequence; do
    at() { table "$m" "$sequence" | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
    [ -n "$(at CheckProperties)" ] && [ "$(at CheckProperties)" -lt "$(at LaunchConditions)" ] ||
      fail "$form: $sequence does not check the properties before the launch conditions"
  done
done

# The DLL as Windows Installer calls it, where no Wine of its width may run:
# of the tree's machine, exporting the entry under the very name the row
# gives (a 32-bit stdcall export keeps its plain name only by --kill-at), and
# importing Windows' own DLLs only, no MinGW runtime.
dll="$(. "$config" && echo "$checks_dll")"
if [ "${platform:-x86}" = x64 ]; then format=pei-x86-64; else format=pei-i386; fi
objdump -f "$dll" | grep -q "file format $format\$" || fail "brimlet_checks.dll is not $format"
entry="$(table "$m" CustomAction | awk -F'\t' '$1 == "CheckProperties" { print $4 }')"
exports="$(objdump -p "$dll" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^\t\[/ { print $NF } on && /^$/ { on = 0 }')"
grep -qx "$entry" <<<"$exports" || fail "brimlet_checks.dll does not export $entry: [$exports]"
imports="$(objdump -p "$dll" | awk '/^\tDLL Name: / { print tolower($3) }')"
others="$(grep -vxE 'kernel32\.dll|msi\.dll|msvcrt\.dll|user32\.dll|advapi32\.dll' <<<"$imports")"
[ -n "$imports" ] && [ -z "$others" ] || fail "brimlet_checks.dll imports [$others] beside Windows' own DLLs"

# Bad versions are refused by the build.
for version in 1.5 1.5.0.1 128.0.0 1.256.0 1.0.65536 1.x.0 "1.0.0 "; do
  bash "$build_msi" bad.msi "$program" "$version" "$config" >/dev/null 2>&1 && fail "version $version accepted"
done
[ -e bad.msi ] && fail "a package was made for a bad version"

# The tree's own package, as it ships: its version, its platform, its Run
# value and the very program of the build (also where Wine cannot install it).
if [ -n "$shipped" ]; then
  [ "$(property "$shipped" ProductVersion)" = "$shipped_version" ] || fail "$shipped: not version $shipped_version"
  msiinfo suminfo "$shipped" | grep -qx "Template: $template" || fail "$shipped: not an $platform package"
  table "$shipped" Registry | awk -F'\t' '$3 == "Software\\Microsoft\\Windows\\CurrentVersion\\Run" { print $5 }' |
    grep -q '^"\[INSTALLDIR\]brimlet.exe" \[WATCHPATH\] ' || fail "$shipped: no Run value"
  mkdir extracted && (cd extracted && msiextract "$shipped" >/dev/null) || fail "$shipped: cannot be extracted"
  found="$(find extracted -type f -iname brimlet.exe)"
  [ -n "$found" ] && cmp -s "$found" "$program" || fail "$shipped does not carry the build's brimlet.exe"
  # The x86 program ships without the simulated network: none of the
  # description reader's texts is in it (the x64 test package carries it).
  if [ "${platform:-x86}" = x86 ] && grep -aq 'a description is plain text' "$found"; then
    fail "$shipped: its brimlet.exe carries the simulated network"
  fi
fi
echo "1 passed, 0 failed"
