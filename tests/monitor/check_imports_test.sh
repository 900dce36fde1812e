#!/usr/bin/env bash
# check_imports_test.sh OBJDUMP EXE
# check_imports.sh must fail, and say why, when it reads nothing: a missing
# program, an unreadable one, one that is no Windows program, an objdump that
# fails; and pass on the real EXE.
set -uo pipefail
objdump="$1"; exe="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work=$(mktemp -d /tmp/brimlet-imports.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0; passed=0

# expect STATUS PATTERN ARGS...: check_imports.sh ARGS exits with STATUS
# (0 or "fail") and prints a line matching PATTERN.
expect() {
  local want="$1" pattern="$2" out code; shift 2
  out=$(bash "$here/check_imports.sh" "$@" 2>&1); code=$?
  if { [ "$want" = 0 ] && [ $code -eq 0 ]; } || { [ "$want" = fail ] && [ $code -ne 0 ]; }; then
    if grep -qE "$pattern" <<<"$out"; then
      passed=$((passed + 1)); return
    fi
  fi
  echo "FAILED: check_imports.sh $* gave $code: $out (expected $want, /$pattern/)"
  failed=$((failed + 1))
}

printf 'not a program\n' >"$work/text.exe"
cp "$exe" "$work/unreadable.exe"; chmod 000 "$work/unreadable.exe"
expect 0 "1 passed, 0 failed" "$objdump" "$exe"
expect fail "cannot read the program" "$objdump" "$work/missing.exe"
expect fail "cannot read the program" "$objdump" "$exe" "$work/missing.exe"
expect fail "failed" "$objdump" "$work/text.exe"
expect fail "failed" false "$exe"
expect fail "no import table read" true "$exe"
expect fail "usage" "$objdump"
# Root reads any file: the unreadable case only holds for other users.
if [ "$(id -u)" -ne 0 ]; then
  expect fail "cannot read the program" "$objdump" "$work/unreadable.exe"
fi
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
