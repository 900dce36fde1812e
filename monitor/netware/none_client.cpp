#include "netware/none_client.h"

#include "netware/make_client.h"

namespace {

// Every operation fails alike; the one that answers a flag, IsDirAuthenticated,
// answers "not authenticated".
constexpr uint32_t kNoClientAnswerStatus = kNoClientStatus;
constexpr uint32_t kNoClientAnswerFlag = 0;

}  // namespace

// The operations take their parameters only to ignore them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, ...) \
  uint32_t NoNetWareClient::operation parameters { return kNoClientAnswer##answers; }
#include "netware/netware_calls.def"
#pragma GCC diagnostic pop
