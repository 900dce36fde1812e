// The client operations by name, so that a network description can tell any
// of them to fail.
#pragma once

#include <string>

enum class ClientOperation {
#define NW_OPERATION(operation, ...) operation,
#include "netware/netware_calls.def"
};

constexpr int kClientOperationCount = 0
#define NW_OPERATION(...) +1
#include "netware/netware_calls.def"
    ;

const char* ClientOperationName(ClientOperation operation);

// Exact, case-sensitive match of the name; false for an unknown name.
bool ClientOperationFromName(const std::string& name, ClientOperation* operation);
