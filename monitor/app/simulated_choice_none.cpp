#include "app/simulated_choice.h"

const SimulatedClientMaker kSimulatedClientMaker = nullptr;
