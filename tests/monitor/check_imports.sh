#!/usr/bin/env bash
# check_imports.sh OBJDUMP EXE...
# Each program must import only Windows' own DLLs: a MinGW runtime DLL
# (libwinpthread, libstdc++, libgcc) would be missing on the users' machines.
# Nor may they import the NetWare client's libraries: the monitor binds them
# at run time, so that it starts on workstations without the client. MPR.dll,
# Windows' network redirector, serves the build that reads a Windows drive.
# A program that cannot be read, or an objdump that fails, fails the check:
# nothing read is nothing proven.
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: check_imports.sh OBJDUMP EXE..."
  exit 2
fi
objdump="$1"; shift
status=0
for exe in "$@"; do
  if [ ! -f "$exe" ] || [ ! -r "$exe" ]; then
    echo "$exe: cannot read the program"
    status=1
    continue
  fi
  if ! dump=$("$objdump" -p "$exe" 2>&1); then
    echo "$(basename "$exe"): $objdump failed: $dump"
    status=1
    continue
  fi
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
  # Every Windows program imports at least kernel32.dll: no import at all
  # means objdump read no import table.
  if [ -z "$imports" ]; then
    echo "$(basename "$exe"): no import table read"
    status=1
    continue
  fi
  client=$(grep -iE '^(calwin32|clxwin32|locwin32|netwin32)\.dll$' <<<"$imports")
  if [ -n "$client" ]; then
    echo "$(basename "$exe") imports the NetWare client at load time: $client"
    status=1
  fi
  foreign=$(grep -viE '^(kernel32|user32|gdi32|shell32|advapi32|comctl32|ws2_32|mpr|msvcrt|psapi|ole32|oleaut32|imm32|comdlg32|version|api-ms-win-.*)\.dll$' <<<"$imports")
  if [ -n "$foreign" ]; then
    echo "$(basename "$exe") imports: $foreign"
    status=1
  fi
done
[ $status -eq 0 ] && echo "$# passed, 0 failed"
exit $status
