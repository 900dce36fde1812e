// Where the NetWare client's libraries may come from, and nowhere else: the
// program's own folder and the Windows system folder, each library loaded by
// its full path. The current directory and the folders of PATH are never
// searched, as anyone may put a file of the client's name there.
#pragma once

#include <windows.h>

// Takes the current directory out of the process's DLL search for good, for
// every library loaded later by anyone in the process. Called first thing at
// start-up. The calls that older systems lack are looked up at run time.
void RestrictDllSearch();

// `name` ("CALWIN32.DLL") from the program's folder, else from the system
// folder (on 64-bit Windows the 32-bit one for a 32-bit program: the file
// system redirector maps the system folder there); nullptr when neither
// holds it. The library's own imports are resolved from its own folder and
// the system folder.
HMODULE LoadClientLibrary(const char* name);

// True when `module`'s export table really holds `ordinal`.
bool ExportsOrdinal(HMODULE module, WORD ordinal);
