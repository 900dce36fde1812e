// The directory (NDS) operations of the simulated client: contexts,
// request and reply buffers, and reading the logged-in user object.
#include <cstring>

#include "core/fixed_text.h"
#include "simulated/server_paths.h"
#include "simulated/sim_status.h"
#include "simulated/simulated_client.h"

SimulatedNetWareClient::DirBufferState* SimulatedNetWareClient::BufferOf(NwDirBuffer buffer) {
  auto found = buffers_.find(buffer);
  return found == buffers_.end() ? nullptr : &found->second;
}

uint32_t SimulatedNetWareClient::OpenDirContext(NwDirContext* context) {
  if (auto answer = Enter(ClientOperation::OpenDirContext)) return *answer;
  if (context == nullptr) return simstatus::kInvalidParameter;
  *context = nextContext_++;
  contexts_.insert(*context);
  return 0;
}

uint32_t SimulatedNetWareClient::IsDirAuthenticated() {
  if (auto answer = Enter(ClientOperation::IsDirAuthenticated)) {
    return *answer == simstatus::kNotStarted ? 0 : *answer;
  }
  return network_.directory.authenticated ? 1 : 0;
}

uint32_t SimulatedNetWareClient::AllocDirBuffer(size_t size, NwDirBuffer* buffer) {
  if (auto answer = Enter(ClientOperation::AllocDirBuffer)) return *answer;
  if (buffer == nullptr || size == 0) return simstatus::kInvalidParameter;
  *buffer = nextBuffer_++;
  buffers_[*buffer].size = size;
  return 0;
}

uint32_t SimulatedNetWareClient::PrepareDirBuffer(NwDirContext context, uint32_t operation,
                                                  NwDirBuffer buffer) {
  if (auto answer = Enter(ClientOperation::PrepareDirBuffer, std::to_string(buffer))) {
    return *answer;
  }
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(buffer);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  state->preparedForRead = operation == kDirOperationRead;
  state->requestedNames.clear();
  return 0;
}

uint32_t SimulatedNetWareClient::AddAttributeName(NwDirContext context, NwDirBuffer buffer,
                                                  const char* attributeName) {
  if (auto answer = Enter(ClientOperation::AddAttributeName, attributeName ? attributeName : "")) {
    return *answer;
  }
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(buffer);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->preparedForRead) return simstatus::kDirBufferNotPrepared;
  if (attributeName == nullptr) return simstatus::kInvalidParameter;
  size_t used = 0;
  for (const std::string& name : state->requestedNames) used += name.size() + 1;
  if (used + std::strlen(attributeName) + 1 > state->size) return simstatus::kBufferTooSmall;
  state->requestedNames.push_back(attributeName);
  return 0;
}

uint32_t SimulatedNetWareClient::LoggedInObjectName(NwDirContext context, char* objectName,
                                                    size_t objectNameSize) {
  if (auto answer = Enter(ClientOperation::LoggedInObjectName)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  if (objectName == nullptr) return simstatus::kInvalidParameter;
  if (network_.directory.objectName.empty()) return simstatus::kDirNotLoggedIn;
  if (!CopyToBuffer(objectName, objectNameSize, network_.directory.objectName)) {
    return simstatus::kBufferTooSmall;
  }
  return 0;
}

uint32_t SimulatedNetWareClient::ReadObject(NwDirContext context, const char* objectName,
                                            uint32_t infoType, uint8_t allAttributes,
                                            NwDirBuffer attributeNames, int32_t* iterationHandle,
                                            NwDirBuffer reply) {
  if (auto answer = Enter(ClientOperation::ReadObject)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  if (objectName == nullptr || network_.directory.objectName.empty() ||
      !EqualsIgnoringCase(objectName, network_.directory.objectName)) {
    return simstatus::kDirNoSuchObject;
  }
  if (infoType != kDirInfoNamesAndValues) return simstatus::kDirBadInfoType;
  // Each read here is a fresh one: the only iteration handle it accepts is
  // -1, and it always answers -1 (everything came in one reply).
  if (iterationHandle == nullptr) return simstatus::kInvalidParameter;
  if (*iterationHandle != -1) return simstatus::kDirBadIteration;
  // Only the attributes named in the request are read: a query that asked
  // for all of them would get answers it never looks at, and pass unnoticed.
  if (allAttributes != 0) return simstatus::kInvalidParameter;
  DirBufferState* request = BufferOf(attributeNames);
  if (request == nullptr) return simstatus::kDirBadBuffer;
  if (!request->preparedForRead) return simstatus::kDirBufferNotPrepared;
  DirBufferState* answer = BufferOf(reply);
  if (answer == nullptr) return simstatus::kDirBadBuffer;

  // Directory names match without regard to case; the reply spells each
  // attribute as the object carries it.
  std::vector<DirectoryAttribute> attributes;
  for (const DirectoryAttribute& attribute : network_.directory.attributes) {
    bool wanted = false;
    for (size_t i = 0; !wanted && i < request->requestedNames.size(); ++i) {
      wanted = EqualsIgnoringCase(request->requestedNames[i], attribute.name);
    }
    if (wanted) attributes.push_back(attribute);
  }
  answer->holdsReply = true;
  answer->reply = std::move(attributes);
  answer->nextAttribute = 0;
  answer->nextValue = 0;
  *iterationHandle = -1;
  return 0;
}

uint32_t SimulatedNetWareClient::ReplyAttributeCount(NwDirContext context, NwDirBuffer reply,
                                                     uint32_t* count) {
  if (auto answer = Enter(ClientOperation::ReplyAttributeCount)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply) return simstatus::kDirNoReply;
  if (count == nullptr) return simstatus::kInvalidParameter;
  *count = static_cast<uint32_t>(state->reply.size());
  return 0;
}

uint32_t SimulatedNetWareClient::NextAttributeName(NwDirContext context, NwDirBuffer reply,
                                                   char* attributeName, size_t attributeNameSize,
                                                   uint32_t* valueCount, uint32_t* syntaxId) {
  if (auto answer = Enter(ClientOperation::NextAttributeName)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply) return simstatus::kDirNoReply;
  if (state->nextAttribute >= state->reply.size()) return simstatus::kDirNoMoreAttributes;
  if (attributeName == nullptr) return simstatus::kInvalidParameter;
  const DirectoryAttribute& attribute = state->reply[state->nextAttribute];
  if (!CopyToBuffer(attributeName, attributeNameSize, attribute.name)) {
    return simstatus::kBufferTooSmall;
  }
  if (valueCount != nullptr) *valueCount = static_cast<uint32_t>(attribute.values.size());
  if (syntaxId != nullptr) *syntaxId = attribute.syntax;
  ++state->nextAttribute;
  state->nextValue = 0;
  return 0;
}

uint32_t SimulatedNetWareClient::NextAttributeValue(NwDirContext context, NwDirBuffer reply,
                                                    uint32_t syntaxId, void* value,
                                                    size_t valueSize) {
  if (auto answer = Enter(ClientOperation::NextAttributeValue)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply || state->nextAttribute == 0) return simstatus::kDirNoMoreValues;
  const DirectoryAttribute& attribute = state->reply[state->nextAttribute - 1];
  if (syntaxId != attribute.syntax) return simstatus::kDirSyntaxMismatch;
  if (state->nextValue >= attribute.values.size()) return simstatus::kDirNoMoreValues;
  if (value == nullptr) return simstatus::kInvalidParameter;
  int32_t number = attribute.values[state->nextValue];
  if (syntaxId == kSyntaxBoolean) {
    if (valueSize < 1) return simstatus::kBufferTooSmall;
    *static_cast<uint8_t*>(value) = number != 0 ? 1 : 0;
  } else {
    if (valueSize < sizeof number) return simstatus::kBufferTooSmall;
    std::memcpy(value, &number, sizeof number);
  }
  ++state->nextValue;
  return 0;
}

uint32_t SimulatedNetWareClient::FreeDirBuffer(NwDirBuffer buffer) {
  if (auto answer = Enter(ClientOperation::FreeDirBuffer, std::to_string(buffer))) {
    return *answer;
  }
  if (buffers_.erase(buffer) == 0) return simstatus::kDirBadBuffer;
  return 0;
}

uint32_t SimulatedNetWareClient::CloseDirContext(NwDirContext context) {
  if (auto answer = Enter(ClientOperation::CloseDirContext)) return *answer;
  if (contexts_.erase(context) == 0) return simstatus::kDirBadContext;
  return 0;
}
