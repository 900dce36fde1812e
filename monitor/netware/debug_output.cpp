#include "netware/debug_output.h"

#include <cstdio>

namespace {

void WriteToStderr(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

NetWareDebugSink currentSink = WriteToStderr;

}  // namespace

void SetNetWareDebugSink(NetWareDebugSink sink) {
  currentSink = sink != nullptr ? sink : WriteToStderr;
}

void NetWareDebugPrint(const char* text) { currentSink(text); }
