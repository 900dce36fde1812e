// Letting the writing and the console's thread give way to the receiving one.
#pragma once

// Lets the calling thread give way to the process's other threads when the
// processor is short: the writing thread and the console's thread call it,
// so that the receiving thread gets the processor at once when a datagram
// arrives, also while they are busy with a burst. Written once per platform
// (posix/thread_priority.cpp, win/thread_priority.cpp); a refusal changes
// nothing.
void giveWayToOtherThreads();
