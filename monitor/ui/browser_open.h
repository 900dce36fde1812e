// Opening an address in the user's web browser: the shell's "open" verb, else
// the browser registered for ".htm" pages, started on the address.
#pragma once

#include <windows.h>

// Opens `address` through the shell's open door (ui/desktop_doors.h), shown
// as `show`. Answers the shell's result, or the program start's result for
// the fallback; above 32 is success. A null address opens "".
UINT OpenInBrowser(const char* address, int show);
