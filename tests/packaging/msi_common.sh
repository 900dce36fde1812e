# shellcheck shell=bash
# Helpers of the package tests under Wine (sourced inside a Wine session of
# scripts/wine-session.sh, which exports WINEPREFIX). Every Wine call goes
# through scripts/wine-exec.sh, so the tests run under whichever Wine the
# shared scripts choose. The checks read the registry view and the Program
# Files folder of the package's program: for the x86 package the 32-bit ones,
# which are the plain ones in a 32-bit prefix and Wow6432Node and "Program
# Files (x86)" in a 64-bit one; for the x64 package (platform=x64 in its
# configuration) the native ones of a 64-bit prefix.
: "${scripts:?}"
if [ "${platform:-x86}" = x64 ]; then view=64; else view=32; fi
wine_exec="$scripts/wine-exec.sh"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

fail() { echo "FAILED: $*"; exit 1; }

# reg_value KEY NAME [VIEW]: the data of a string value, or nothing (status 1)
# when there is none. VIEW is 32 or 64, the package's by default.
reg_value() {
  local out
  out="$("$wine_exec" reg query "$1" /v "$2" "/reg:${3:-$view}" 2>/dev/null | tr -d '\r')" || return 1
  local line
  line="$(grep -aF "    $2    REG_" <<<"$out" | head -n 1)" || return 1
  [ -n "$line" ] || return 1
  sed -E 's/^    .*    REG_[A-Z_]+    ?//' <<<"$line"
}

# reg_key_exists KEY [VIEW]
reg_key_exists() { "$wine_exec" reg query "$1" "/reg:${2:-$view}" >/dev/null 2>&1; }

# The package's program folder as Windows and as Linux path.
program_files_win() { reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir; }
unix_path() { "$wine_exec" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# msi ARGS...: msiexec with a verbose log in msiexec.log; answers its status.
msi() { "$wine_exec" msiexec "$@" /l*v msiexec.log </dev/null >/dev/null 2>&1; }

# product_code MSI: the package's product code, from its Property table.
product_code() {
  msiinfo export "$1" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }' | tr -d '\r'
}

# registered PRODUCT_CODE: the product has an Apps & features entry (either
# registry view: Windows keeps a 32-bit package's entry in the 32-bit one).
registered() {
  reg_key_exists "$uninstall_key\\$1" 32 || reg_key_exists "$uninstall_key\\$1" 64
}
