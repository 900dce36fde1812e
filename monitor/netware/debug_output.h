// Where the NetWare layer tells developers why something did not work (a
// network description that does not parse, for instance). The monitor shows
// the user nothing of it; on Windows it goes to the debugger.
#pragma once

// Receives one complete message, ending in a newline.
using NetWareDebugSink = void (*)(const char* text);

// nullptr restores the default sink, which writes to stderr.
void SetNetWareDebugSink(NetWareDebugSink sink);

void NetWareDebugPrint(const char* text);
