// Whether this program carries the simulated network in-process: the 64-bit
// program and the tests that drive the frame do (simulated_choice_carried.cpp),
// the shipped 32-bit program does not (simulated_choice_none.cpp), and reaches
// a simulated network only through the stand-in client libraries beside it.
// Each program links exactly one of the two.
#pragma once

#include "netware/make_client.h"

extern const SimulatedClientMaker kSimulatedClientMaker;
