#!/usr/bin/env bash
# msi_install.sh SCRIPTS_DIR BUILD_MSI CONFIG_FILE MSI PROGRAM VERSION PREFIX
# The package of one configuration under Wine, in a prefix of its own (made
# afresh at each run): property values that the program would misread, or
# ignore with its whole command line, are refused by the package's check,
# with its reason in the log, and leave nothing; values it reads as typed
# install with exactly that command line; an older build of the package installs
# with a path of the longest accepted length; the current package replaces
# it (one product left) and sets the file, the Run value's exact command
# line and the Apps & features entry; the older package is refused over it;
# uninstalling leaves no file, folder or value.
set -uo pipefail
scripts="$1"; build_msi="$2"; config="$3"; msi_file="$4"; program="$5"; version="$6"; prefix="$7"

if [ "${8:-}" != --inside ]; then
  for tool in wixl msiinfo msibuild xvfb-run python3; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (make setup)"; exit 1; }
  done
  [ -f "$msi_file" ] || { echo "FAILED: no package $msi_file (build the msi target)"; exit 1; }
  rm -rf "$prefix" "$prefix.lock"
  # Wine reads the values given here as UTF-8 and runs with the ANSI code
  # page 1252 of an English workstation.
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
  exec xvfb-run -a "$scripts/wine-session.sh" "$prefix" bash "$0" "$@" --inside
fi

# shellcheck source=/dev/null
source "$config"
# shellcheck source=tests/packaging/msi_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/msi_common.sh"

work="$(dirname "$prefix")/msi-install-test"
rm -rf "$work"; mkdir -p "$work"
cd "$work" || fail "cannot enter $work"
cp "$msi_file" current.msi

# The release before this one: the minor version lowered, else the major.
IFS=. read -r major minor patch <<<"$version"
if [ "$minor" -gt 0 ]; then older="$major.$((minor - 1)).$patch"
elif [ "$major" -gt 0 ]; then older="$((major - 1)).99.0"
else fail "version $version has no older release to test an upgrade from"; fi
bash "$build_msi" older.msi "$program" "$older" "$config" >/dev/null || fail "cannot build the $older package"

code="$(product_code current.msi)"; old_code="$(product_code older.msi)"
[ -n "$code" ] && [ -n "$old_code" ] && [ "$code" != "$old_code" ] ||
  fail "product codes \"$old_code\" and \"$code\" are not two different codes"

pf="$(program_files_win)" || fail "no ProgramFilesDir in the $view-bit registry view"
folder_win="$pf\\$folder_name"
exe_win="$folder_win\\brimlet.exe"
folder_unix="$(unix_path "$folder_win")"
exe_unix="$folder_unix/brimlet.exe"
[ -n "$folder_unix" ] || fail "winepath cannot map $folder_win"
echo "prefix: $WINEPREFIX, the $platform package's program in $pf"

# nothing_installed WHAT: no product, file, folder or Run value is left.
nothing_installed() {
  registered "$code" && fail "$1: $product_name $version is registered"
  registered "$old_code" && fail "$1: $product_name $older is registered"
  [ -e "$folder_unix" ] && fail "$1: $folder_win is there"
  reg_value "$run_key" "$product_name" >/dev/null && fail "$1: the Run value is there"
  return 0
}

# The command line as the Run value must hold it, from NAME=VALUE words.
expected_run() {
  declare -A v=([WATCHPATH]='H:\' [POLLSECONDS]=300 [WARN]=75 [DANGER]=95 [UNIT]=%
                [SHOWDETAILS]=N [AUTOSHOW]=N [LOGHOST]=0 [LOGPORT]=0)
  local word
  for word in "$@"; do v[${word%%=*}]="${word#*=}"; done
  local line="\"$exe_win\" ${v[WATCHPATH]} ${v[POLLSECONDS]} ${v[WARN]} ${v[DANGER]}"
  [ "$unit_parameter" = yes ] && line+=" ${v[UNIT]}"
  echo "$line ${v[SHOWDETAILS]} ${v[AUTOSHOW]} ${v[LOGHOST]} ${v[LOGPORT]}"
}

long_path="H:\\$(printf 'p%.0s' $(seq 1 237))"           # 240 characters: accepted
too_long_path="H:\\$(printf 'p%.0s' $(seq 1 238))"       # 241
long_host="$(printf 'h%.0s' $(seq 1 45)).org"              # 49 characters: accepted
too_long_host="$(printf 'h%.0s' $(seq 1 46)).org"          # 50

# Refused values: each would make the program ignore its whole command line,
# or read it otherwise than typed (its ANSI command line, its parser). Words
# are separated by "&"; printf's escapes give the characters outside ASCII.
# The property refused is the last word's, or the one after a second "|".
refusals=(
  "empty path before another property|WATCHPATH=&POLLSECONDS=120|WATCHPATH"
  'empty path in quotation marks|WATCHPATH=""'
  "empty path|WATCHPATH="
  'path with a blank|WATCHPATH=H:\\my home'
  'path with an ideographic space|WATCHPATH=H:\\my\u3000home'
  'path with an en space|WATCHPATH=H:\\my\u2002home'
  'path outside the code page|WATCHPATH=H:\\\u0142\u00f3d\u017a'
  "path too long|WATCHPATH=$too_long_path"
  "empty poll interval|POLLSECONDS="
  "poll interval of 0|POLLSECONDS=0"
  "poll interval not a number|POLLSECONDS=five"
  "thresholds with a blank|WARN=7 5"
  "threshold with a sign and letters|WARN=+7x"
  "threshold far below 0|WARN=-99999999999"
  "threshold above 100 %|DANGER=101"
  "empty danger threshold|DANGER="
  "empty details switch|SHOWDETAILS="
  "details switch as a word|SHOWDETAILS=Yes"
  "auto-show as a number|AUTOSHOW=1"
  "auto-show with a blank|AUTOSHOW=Y Y"
  "empty host|LOGHOST="
  'lone tab as host|LOGHOST=\t'
  "host too long|LOGHOST=$too_long_host"
  "host with a blank|LOGHOST=log host"
  "IPv6 host in brackets|LOGPORT=48000&LOGHOST=[::1]"
  "host with a port|LOGPORT=48000&LOGHOST=loghost:48000"
  "empty port|LOGPORT="
  "port mistyped|LOGHOST=loghost&LOGPORT=48OOO"
  "port beyond 16 bits|LOGHOST=loghost&LOGPORT=70000"
  "port far beyond 16 bits|LOGHOST=loghost&LOGPORT=99999999999"
  "port without a host|LOGPORT=48000"
  "host without a port|LOGHOST=loghost&LOGPORT=0"
)
if [ "$unit_parameter" = yes ]; then
  refusals+=("unit MB|UNIT=MB" "empty unit|UNIT=" "unit %%|UNIT=%%"
             "megabytes beyond any reading|UNIT=A&WARN=4294967")
fi
words_of() {  # the NAME=VALUE words of a table entry, into `words`
  IFS='&' read -r -a words <<<"$1"
  local i
  for i in "${!words[@]}"; do words[i]="$(printf '%b' "${words[i]}")"; done
}
passed=0
for case in "${refusals[@]}"; do
  name="${case%%|*}"; rest="${case#*|}"; words_of "${rest%%|*}"
  if msi /i current.msi /qn "${words[@]}"; then fail "$name (${words[*]}) was installed"; fi
  # Refused by the check, with its reason, before anything was done.
  refused="${words[-1]%%=*}"
  [ "$rest" != "${rest#*|}" ] && refused="${rest#*|}"
  line="$(grep -a -m1 "^Brimlet: $refused=.* is refused: " msiexec.log | tr -d '\r')" ||
    fail "$name: no refusal of $refused in the log: $(grep -a 'Brimlet: ' msiexec.log)"
  grep -aq 'Action start .*: LaunchConditions\.' msiexec.log && fail "$name: the launch conditions ran"
  # The value as given, not formatted away ([::1] is no property).
  [ -z "${words[-1]#*=}" ] || [[ "$line" != *'=""'* ]] || fail "$name: the log shows no value: $line"
  [ -e "$folder_unix" ] && fail "$name: $folder_win is there"
  echo "refused, $name: $line"
  passed=$((passed + 1))
done
nothing_installed "after the refused values"
echo "refused: $passed property values"

# Accepted values, the guide's among them: installed with exactly the
# command line typed (code page letters, either case), then removed.
accepted=(
  "LOGHOST=loghost&LOGPORT=48000"
  "LOGHOST=fd00::10&LOGPORT=48000"
  "WARN=50&DANGER=10&UNIT=A&AUTOSHOW=Y&LOGHOST=loghost&LOGPORT=48000"
  'WATCHPATH=h:\\\u00dcberweisung&POLLSECONDS=2147483&WARN=1&DANGER=100&SHOWDETAILS=y&AUTOSHOW=n'
)
for case in "${accepted[@]}"; do
  words_of "$case"
  msi /i current.msi /qn "${words[@]}" || fail "${words[*]} was refused: $(grep -a 'Brimlet: ' msiexec.log)"
  # reg writes in the console's code page, 437 on an English workstation.
  run="$(reg_value "$run_key" "$product_name" | iconv -f CP437 -t UTF-8)"
  [ "$run" = "$(expected_run "${words[@]}")" ] ||
    fail "Run value: [$run], expected [$(expected_run "${words[@]}")]"
  echo "accepted: $run ($(grep -a -m1 '^Brimlet: ' msiexec.log | tr -d '\r'))"
  msi /x current.msi /qn || fail "removing after ${words[*]} failed"
done
nothing_installed "after the accepted values"

# The older build, with the longest path the program accepts.
old_props=("WATCHPATH=$long_path" LOGHOST=192.0.2.1 LOGPORT=1)
msi /i older.msi /qn "${old_props[@]}" || fail "installing $older failed"
registered "$old_code" || fail "$older is not registered"
[ "$(reg_value "$run_key" "$product_name")" = "$(expected_run "${old_props[@]}")" ] ||
  fail "Run value of $older: $(reg_value "$run_key" "$product_name")"

# The current one over it: a major upgrade.
props=('WATCHPATH=h:\home' POLLSECONDS=0060 WARN=50 DANGER=10 SHOWDETAILS=Y AUTOSHOW=y
       "LOGHOST=$long_host" LOGPORT=48000)
[ "$unit_parameter" = yes ] && props+=(UNIT=A)
msi /i current.msi /qn "${props[@]}" || fail "upgrading to $version failed"
registered "$code" || fail "$version is not registered after the upgrade"
registered "$old_code" && fail "$older is still registered after the upgrade"
products=0
for v in 32 64; do
  n="$("$wine_exec" reg query "$uninstall_key" /s "/reg:$v" 2>/dev/null | tr -d '\r' |
       grep -cxF "    DisplayName    REG_SZ    $product_name")"
  [ "$n" -gt "$products" ] && products=$n
done
[ "$products" -eq 1 ] || fail "$products products named $product_name after the upgrade"
cmp -s "$exe_unix" "$program" || fail "$exe_unix is not the build's brimlet.exe"
run="$(reg_value "$run_key" "$product_name")"
[ "$run" = "$(expected_run "${props[@]}")" ] ||
  fail "Run value: [$run], expected [$(expected_run "${props[@]}")]"
echo "Run value: $run"

# Apps & features.
entry="$uninstall_key\\$code"
entry_view=32; reg_key_exists "$entry" 32 || entry_view=64
for pair in "DisplayName=$product_name" "DisplayVersion=$version" "Publisher=$manufacturer" \
            "HelpLink=$help_link"; do
  got="$(reg_value "$entry" "${pair%%=*}" "$entry_view")"
  [ "$got" = "${pair#*=}" ] || fail "Apps & features ${pair%%=*}: [$got], expected [${pair#*=}]"
done

# The older one over the current one: refused, the current one untouched.
if msi /i older.msi /qn; then fail "$older was installed over $version"; fi
registered "$code" || fail "$version was removed by the refused downgrade"
registered "$old_code" && fail "$older got registered"
[ "$(reg_value "$run_key" "$product_name")" = "$run" ] || fail "the refused downgrade changed the Run value"
cmp -s "$exe_unix" "$program" || fail "the refused downgrade changed the program"

# Uninstall.
# By product code, as Intune and scripts remove it.
msi /x "$code" /qn || fail "uninstalling $code failed"
nothing_installed "after uninstall"
for v in 32 64; do
  "$wine_exec" reg query "$uninstall_key" /s "/reg:$v" 2>/dev/null | tr -d '\r' |
    grep -qxF "    DisplayName    REG_SZ    $product_name" && fail "an Apps & features entry is left"
done
echo "1 passed, 0 failed"
