#include "app/simulated_choice.h"

#include "simulated/simulated_client.h"

const SimulatedClientMaker kSimulatedClientMaker = MakeNamedSimulatedClient;
