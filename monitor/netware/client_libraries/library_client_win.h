// NetWareClient over the entry points of the client libraries. It fits the
// seam's sized outputs to the client's fixed-size ones: the client writes
// into buffers of the sizes its reference asks for, and the text is copied
// out only when it fits the caller's buffer.
#pragma once

#include "netware/client_libraries/client_binding_win.h"
#include "netware/netware_client.h"

// Answers of the binding itself, for outputs it cannot hand over.
constexpr uint32_t kBindingBufferTooSmall = 0x880E;  // the client's own "buffer overflow"
constexpr uint32_t kBindingNoValue = 0x8836;         // a required output is missing
// A value of a syntax whose size the binding does not know: reading it could
// overrun the caller's place.
constexpr uint32_t kBindingUnknownSyntax = static_cast<uint32_t>(-326);

class LibraryNetWareClient : public NetWareClient {
 public:
  explicit LibraryNetWareClient(const ClientEntryPoints& entries) : nw_(entries) {}

#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, ...) \
  uint32_t operation parameters override;
#include "netware/netware_calls.def"

 private:
  const ClientEntryPoints& nw_;
};
