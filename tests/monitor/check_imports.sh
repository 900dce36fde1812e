#!/usr/bin/env bash
# check_imports.sh OBJDUMP EXE...
# Each program must import only Windows' own DLLs: a MinGW runtime DLL
# (libwinpthread, libstdc++, libgcc) would be missing on the users' machines.
# Nor may they import the NetWare client's libraries: the monitor binds them
# at run time, so that it starts on workstations without the client. MPR.dll,
# Windows' network redirector, serves the build that reads a Windows drive.
set -uo pipefail
objdump="$1"; shift
status=0
for exe in "$@"; do
  imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
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
