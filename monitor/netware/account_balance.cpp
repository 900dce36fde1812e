#include "netware/account_balance.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "netware/query_buffer_sizes.h"

namespace {

constexpr size_t kDirBufferSize = 4096;
constexpr size_t kLocaleRecordSize = 128;
// Where the two numbers StartCharConversion needs sit in the locale record.
constexpr size_t kLocaleFirstOffset = 60;
constexpr size_t kLocaleSecondOffset = 56;
constexpr int kEndStatus = 1;

// The names exactly as the directory spells them; replies are compared with
// letter case.
constexpr const char* kAccountBalance = "Account Balance";
constexpr const char* kAllowUnlimitedCredit = "Allow Unlimited Credit";
constexpr const char* kMinimumAccountBalance = "Minimum Account Balance";

uint32_t NumberAt(const uint8_t* record, size_t offset) {
  uint32_t value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

// Everything the query holds open, given back in reverse order of opening.
class DirectorySession {
 public:
  explicit DirectorySession(NetWareClient& client) : client_(client) {}

  void ConversionStarted() { conversion_ = true; }
  void ContextOpened(NwDirContext context) {
    context_ = context;
    contextOpen_ = true;
  }
  void RequestAllocated(NwDirBuffer buffer) {
    request_ = buffer;
    requestAllocated_ = true;
  }
  void ReplyAllocated(NwDirBuffer buffer) {
    reply_ = buffer;
    replyAllocated_ = true;
  }

  // Reply buffer, request buffer, context, character conversion.
  void Release() {
    if (replyAllocated_) client_.FreeDirBuffer(reply_);
    if (requestAllocated_) client_.FreeDirBuffer(request_);
    if (contextOpen_) client_.CloseDirContext(context_);
    if (conversion_) client_.EndCharConversion();
    replyAllocated_ = requestAllocated_ = contextOpen_ = conversion_ = false;
  }

 private:
  NetWareClient& client_;
  bool conversion_ = false;
  bool contextOpen_ = false;
  bool requestAllocated_ = false;
  bool replyAllocated_ = false;
  NwDirContext context_ = 0;
  NwDirBuffer request_ = 0;
  NwDirBuffer reply_ = 0;
};

int32_t AsResult(uint32_t status) { return static_cast<int32_t>(status); }

// The query's steps, into `balance` (already reset).
int32_t ReadBalance(NetWareClient& client, AccountBalance* balance, ProgramEnd endProgram) {
  uint32_t status = 0;
  uint8_t locale[kLocaleRecordSize] = {};
  client.LocaleNumbers(locale, sizeof locale);  // its answer tells nothing we can use
  status = client.StartCharConversion(NumberAt(locale, kLocaleFirstOffset),
                                      NumberAt(locale, kLocaleSecondOffset));
  if (status != 0) return AsResult(status);

  DirectorySession session(client);
  session.ConversionStarted();
  // Without a request to send the program has nothing left to do: it ends,
  // after giving back what it had set up.
  auto endWith = [&](uint32_t failing) {
    session.Release();
    if (endProgram != nullptr) endProgram(kEndStatus);
    return AsResult(failing);
  };

  NwDirContext context = 0;
  status = client.OpenDirContext(&context);
  if (status != 0) return endWith(status);
  session.ContextOpened(context);

  if (client.IsDirAuthenticated() == 0) {
    session.Release();
    return NotAuthenticated;
  }

  NwDirBuffer request = 0;
  status = client.AllocDirBuffer(kDirBufferSize, &request);
  if (status != 0) return endWith(status);
  session.RequestAllocated(request);
  status = client.PrepareDirBuffer(context, kDirOperationRead, request);
  if (status != 0) return endWith(status);

  NwDirBuffer reply = 0;
  status = client.AllocDirBuffer(kDirBufferSize, &reply);
  if (status != 0) return endWith(status);
  session.ReplyAllocated(reply);

  for (const char* name : {kAccountBalance, kAllowUnlimitedCredit, kMinimumAccountBalance}) {
    status = client.AddAttributeName(context, request, name);
    if (status != 0) return endWith(status);
  }

  char objectName[kObjectNameBufferSize] = "";
  status = client.LoggedInObjectName(context, objectName, sizeof objectName);
  if (status != 0) return endWith(status);
  objectName[kObjectNameBufferSize - 1] = '\0';

  // One read; a continuation the iteration handle might announce is not
  // fetched, the three attributes always fit in one reply.
  int32_t iteration = -1;
  status =
      client.ReadObject(context, objectName, kDirInfoNamesAndValues, 0, request, &iteration, reply);
  if (status == 0) {
    uint32_t count = 0;
    status = client.ReplyAttributeCount(context, reply, &count);
    for (uint32_t i = 0; status == 0 && i < count; ++i) {
      char name[kAttributeNameBufferSize] = "";
      uint32_t valueCount = 0;
      uint32_t syntax = 0;
      status = client.NextAttributeName(context, reply, name, sizeof name, &valueCount, &syntax);
      if (status != 0) break;
      name[kAttributeNameBufferSize - 1] = '\0';
      // One value per attribute, whatever the value count says.
      if (std::strcmp(name, kAccountBalance) == 0) {
        status = client.NextAttributeValue(context, reply, syntax, &balance->balance,
                                           sizeof balance->balance);
      } else if (std::strcmp(name, kMinimumAccountBalance) == 0) {
        status = client.NextAttributeValue(context, reply, syntax, &balance->lowLimit,
                                           sizeof balance->lowLimit);
      } else if (std::strcmp(name, kAllowUnlimitedCredit) == 0) {
        status = client.NextAttributeValue(context, reply, syntax, &balance->unlimitedCredit,
                                           sizeof balance->unlimitedCredit);
      }
    }
  }
  session.Release();
  return status == 0 ? kBalanceRead : AsResult(status);
}

}  // namespace

BalanceReading QueryAccountBalance(NetWareClient& client, ProgramEnd endProgram) {
  BalanceReading reading;
  reading.result = ReadBalance(client, &reading.balance, endProgram);
  return reading;
}
