// The monitor's binding of the client libraries, loaded in this process from
// the stand-ins: the queries must answer through it exactly as they do on the
// in-process simulated client, and every handle, buffer and context opened
// through the libraries must be given back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "netware/account_balance.h"
#include "netware/client_libraries/library_loading_win.h"
#include "netware/client_libraries/library_client_win.h"
#include "netware/debug_output.h"
#include "netware/disk_restriction.h"
#include "netware/netware_reading.h"
#include "netware/make_client.h"
#include "netware/none_client.h"
#include "simulated/sim_status.h"
#include "standin.h"
#include "windows_path.h"

namespace {

std::string debugOutput;
void CollectDebug(const char* text) { debugOutput += text; }

// Before anything binds: the binding's reports are caught. The stand-ins lie
// beside this program, where the monitor looks for the client.
const bool kPrepared = [] {
  SetNetWareDebugSink(CollectDebug);
  return true;
}();

std::string ReadFile(const std::string& path) {
  std::ifstream in(WindowsPath(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A description file of this process, named by BRIMLET_NETWORK while it lives.
class Network {
 public:
  explicit Network(const std::string& text) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + "brimlet-binding-" + std::to_string(GetCurrentProcessId()) + ".net";
    std::ofstream(path_, std::ios::trunc) << text;
    _putenv(("BRIMLET_NETWORK=" + path_).c_str());
  }
  ~Network() {
    std::remove(path_.c_str());
    _putenv("BRIMLET_NETWORK=");
  }

 private:
  std::string path_;
};

std::string Walkthrough() { return ReadFile(BRIMLET_EXAMPLES_DIR "/walkthrough.net"); }

int endedWith = 0;
void RecordEnd(int status) { endedWith = status; }

struct Outcome {
  QuotaReading reading;
  AccountBalance balance{};
  int32_t balanceResult = 0;
  int ended = 0;
};

Outcome RunQueries(NetWareClient& client) {
  Outcome outcome;
  endedWith = 0;
  const NetWareReading reading = ReadNetWare(client, "H:\\", RecordEnd);
  outcome.reading = reading.quota;
  outcome.balance = reading.balance.balance;
  outcome.balanceResult = reading.balance.result;
  outcome.ended = endedWith;
  return outcome;
}

void ExpectSameOutcome(const Outcome& bound, const Outcome& simulated) {
  EXPECT_EQ(simulated.reading.result, bound.reading.result);
  EXPECT_STREQ(simulated.reading.serverName, bound.reading.serverName);
  EXPECT_STREQ(simulated.reading.serverPath, bound.reading.serverPath);
  EXPECT_STREQ(simulated.reading.loginName, bound.reading.loginName);
  EXPECT_EQ(simulated.reading.dirUsedKb, bound.reading.dirUsedKb);
  EXPECT_EQ(simulated.reading.dirLimitKb, bound.reading.dirLimitKb);
  EXPECT_EQ(simulated.reading.dirFreeKb, bound.reading.dirFreeKb);
  EXPECT_EQ(simulated.reading.volUsedKb, bound.reading.volUsedKb);
  EXPECT_EQ(simulated.reading.volLimitKb, bound.reading.volLimitKb);
  EXPECT_EQ(simulated.balanceResult, bound.balanceResult);
  EXPECT_EQ(simulated.balance.unlimitedCredit, bound.balance.unlimitedCredit);
  EXPECT_EQ(simulated.balance.balance, bound.balance.balance);
  EXPECT_EQ(simulated.balance.lowLimit, bound.balance.lowLimit);
  EXPECT_EQ(simulated.ended, bound.ended);
}

// What the stand-ins hold open: the simulation's objects and the directory
// buffers NETWIN32.DLL allocated.
struct Held {
  OpenObjectCounts objects;
  int liveBuffers = 0;
};

Held HeldByStandins() {
  auto openObjects = reinterpret_cast<OpenObjectsFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("CALWIN32.DLL"), kOpenObjectsExport)));
  auto liveBuffers = reinterpret_cast<LiveBuffersFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("NETWIN32.DLL"), kLiveBuffersExport)));
  Held held;
  if (openObjects == nullptr || liveBuffers == nullptr) {
    ADD_FAILURE() << "the stand-ins are not loaded";
    return held;
  }
  openObjects(&held.objects);
  held.liveBuffers = liveBuffers();
  return held;
}

// The 32-bit program's own choice binds the stand-ins. The 64-bit program
// binds no client (make_library_client_win.cpp); there the test binds them
// itself, to run the same binding with the 64-bit layouts.
#if defined(_WIN64)
using ProgramChoice = NoNetWareClient;
const char* const kChoiceSaid = "the 64-bit program binds no NetWare client libraries";
std::unique_ptr<NetWareClient> BoundClient() {
  const ClientEntryPoints* entries = BoundClientLibraries();
  if (entries == nullptr) return nullptr;
  return std::make_unique<LibraryNetWareClient>(*entries);
}
#else
using ProgramChoice = LibraryNetWareClient;
const char* const kChoiceSaid = "NetWare client in use: the client libraries";
std::unique_ptr<NetWareClient> BoundClient() { return MakeNetWareClient(); }
#endif

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kPrepared);
    const std::unique_ptr<NetWareClient> chosen = MakeNetWareClient();
    ASSERT_NE(nullptr, dynamic_cast<ProgramChoice*>(chosen.get())) << debugOutput;
    ASSERT_NE(nullptr, BoundClientLibraries()) << debugOutput;
  }
};

TEST_F(BindingTest, TheStandInsAreBoundAndNamedAtTheFirstChoice) {
  EXPECT_NE(std::string::npos, debugOutput.find(kChoiceSaid)) << debugOutput;
}

TEST_F(BindingTest, TheWalkThroughReadsAsSpecified) {
  Network network(Walkthrough());
  Outcome outcome = RunQueries(*BoundClient());
  EXPECT_EQ(DirectoryLimitOnly, outcome.reading.result);
  EXPECT_STREQ("FS1", outcome.reading.serverName);
  EXPECT_STREQ("user1", outcome.reading.loginName);
  EXPECT_STREQ("SYS:USERS\\USER1", outcome.reading.serverPath);
  EXPECT_EQ(82400u, outcome.reading.dirUsedKb);
  EXPECT_EQ(102400u, outcome.reading.dirLimitKb);
  EXPECT_EQ(20000u, outcome.reading.dirFreeKb);
  EXPECT_EQ(82400u, outcome.reading.volUsedKb);
  EXPECT_EQ(0u, outcome.reading.volLimitKb);
  EXPECT_EQ(kBalanceRead, outcome.balanceResult);
  EXPECT_EQ(1234, outcome.balance.balance);
  EXPECT_EQ(-500, outcome.balance.lowLimit);
  EXPECT_EQ(0, outcome.balance.unlimitedCredit);
}

// --- Every example network answers alike on both clients ---

class ExampleNetworkTest : public BindingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleNetworkTest, AnswersAsTheInProcessSimulation) {
  Network network(ReadFile(std::string(BRIMLET_EXAMPLES_DIR "/") + GetParam()));
  Outcome bound = RunQueries(*BoundClient());
  SimulatedNetWareClient simulated;
  ExpectSameOutcome(bound, RunQueries(simulated));
  Held held = HeldByStandins();
  EXPECT_EQ(0, held.objects.contexts);
  EXPECT_EQ(0, held.objects.buffers);
  EXPECT_EQ(0, held.objects.conversions);
  EXPECT_EQ(0, held.liveBuffers);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleNetworkTest,
                         ::testing::Values("walkthrough.net", "ok.net", "danger.net",
                                           "volume-exceeded.net", "both-limits.net", "no-limit.net",
                                           "failing-client.net", "not-authenticated.net",
                                           "print-accounting.net", "print-unlimited.net",
                                           "two-drives.net"));

// --- Each of the 27 operations failing in turn ---

constexpr uint32_t kFailure = 0x8999;
constexpr int32_t kFailed = static_cast<int32_t>(kFailure);

struct FailingOperation {
  const char* operation;
  RestrictionResult restriction;  // on the walk-through
  int32_t balance;
  bool endsProgram;
  bool givesBack;  // false where the failing operation is the one giving back
};

void PrintTo(const FailingOperation& failing, std::ostream* out) { *out << failing.operation; }

const FailingOperation kFailingOperations[] = {
    {"StartClient", QueryFailed, kFailed, false, true},
    {"ResolvePath", QueryFailed, kBalanceRead, false, true},
    {"ConvertNameSpace", QueryFailed, kBalanceRead, false, true},
    {"VolumeNameOfPath", QueryFailed, kBalanceRead, false, true},
    {"VolumeNumber", QueryFailed, kBalanceRead, false, true},
    {"ConnectionItem", QueryFailed, kBalanceRead, false, true},
    {"LoginNameOfConnection", QueryFailed, kBalanceRead, false, true},
    // The query fails here too rather than read a full volume into the
    // preset 0 blocks.
    {"UserVolumeRestriction", QueryFailed, kBalanceRead, false, true},
    {"QueryServerName", QueryFailed, kBalanceRead, false, true},
    {"OpenTempDirHandle", QueryFailed, kBalanceRead, false, true},
    {"ReadDirSpaceLimits", QueryFailed, kBalanceRead, false, true},
    {"CloseDirHandle", DirectoryLimitOnly, kBalanceRead, false, false},
    // The locale record stays empty, which the conversion refuses.
    {"LocaleNumbers", DirectoryLimitOnly, static_cast<int32_t>(simstatus::kBadLocale), false, true},
    {"StartCharConversion", DirectoryLimitOnly, kFailed, false, true},
    {"EndCharConversion", DirectoryLimitOnly, kBalanceRead, false, false},
    {"OpenDirContext", DirectoryLimitOnly, kFailed, true, true},
    {"IsDirAuthenticated", DirectoryLimitOnly, NotAuthenticated, false, true},
    {"AllocDirBuffer", DirectoryLimitOnly, kFailed, true, true},
    {"PrepareDirBuffer", DirectoryLimitOnly, kFailed, true, true},
    {"AddAttributeName", DirectoryLimitOnly, kFailed, true, true},
    {"LoggedInObjectName", DirectoryLimitOnly, kFailed, true, true},
    {"ReadObject", DirectoryLimitOnly, kFailed, false, true},
    {"ReplyAttributeCount", DirectoryLimitOnly, kFailed, false, true},
    {"NextAttributeName", DirectoryLimitOnly, kFailed, false, true},
    {"NextAttributeValue", DirectoryLimitOnly, kFailed, false, true},
    {"FreeDirBuffer", DirectoryLimitOnly, kBalanceRead, false, false},
    {"CloseDirContext", DirectoryLimitOnly, kBalanceRead, false, false},
};

class FailingOperationTest : public BindingTest,
                             public ::testing::WithParamInterface<FailingOperation> {};

TEST_P(FailingOperationTest, GivesTheSpecifiedResultAndGivesEverythingBack) {
  const FailingOperation& failing = GetParam();
  // For IsDirAuthenticated the rule's value is its answer: 0, not authenticated.
  std::string value = std::strcmp(failing.operation, "IsDirAuthenticated") == 0 ? "0" : "0x8999";
  Network network(Walkthrough() + "\n[failures]\n" + failing.operation + " = " + value + "\n");
  Held before = HeldByStandins();

  Outcome bound = RunQueries(*BoundClient());
  EXPECT_EQ(failing.restriction, bound.reading.result);
  EXPECT_EQ(failing.balance, bound.balanceResult);
  EXPECT_EQ(failing.endsProgram ? 1 : 0, bound.ended);
  SimulatedNetWareClient simulated;
  ExpectSameOutcome(bound, RunQueries(simulated));

  Held after = HeldByStandins();
  if (failing.givesBack) {
    // Compared with before: an earlier case may have left what a refusing
    // client kept.
    EXPECT_EQ(before.objects.contexts, after.objects.contexts);
    EXPECT_EQ(before.objects.buffers, after.objects.buffers);
    EXPECT_EQ(before.objects.conversions, after.objects.conversions);
    EXPECT_EQ(before.objects.dirHandles, after.objects.dirHandles);
    EXPECT_EQ(before.liveBuffers, after.liveBuffers);
  } else {
    // The client refused to take something back: it stays with it, and the
    // buffers NETWIN32.DLL holds match the simulation's.
    EXPECT_EQ(after.objects.buffers, after.liveBuffers);
  }
}

INSTANTIATE_TEST_SUITE_P(EachOperation, FailingOperationTest,
                         ::testing::ValuesIn(kFailingOperations));

// --- The export table of the loaded stand-ins, as the binding reads it ---

// NETWIN32.DLL numbers 1002 to 2008 with gaps (1004, 1009 to 1012, ...),
// where GetProcAddress may answer all the same.
TEST_F(BindingTest, OnlyOrdinalsInTheExportTableCount) {
  HMODULE directory = GetModuleHandleA("NETWIN32.DLL");
  HMODULE calls = GetModuleHandleA("CALWIN32.DLL");
  ASSERT_NE(nullptr, directory);
  ASSERT_NE(nullptr, calls);
  for (WORD ordinal : {1002, 1005, 1160, 2008}) EXPECT_TRUE(ExportsOrdinal(directory, ordinal));
  for (WORD ordinal : {1, 1001, 1004, 1010, 2007, 2009}) {
    EXPECT_FALSE(ExportsOrdinal(directory, ordinal)) << ordinal;
  }
  for (WORD ordinal : {83, 84, 377}) EXPECT_TRUE(ExportsOrdinal(calls, ordinal));
  for (WORD ordinal : {82, 87, 100, 378}) EXPECT_FALSE(ExportsOrdinal(calls, ordinal)) << ordinal;
  EXPECT_FALSE(ExportsOrdinal(nullptr, 1002));
}

// --- The process's own DLL search, as the monitor sets it at start-up ---

// A copy of the planted library under `name` in `folder`; true when that
// copy has recorded being loaded.
bool Plant(const std::string& folder, const std::string& name) {
  return CopyFileA(WindowsPath(BRIMLET_STANDIN_DIR "/planted/CALWIN32.DLL").c_str(),
                   (folder + "\\" + name).c_str(), FALSE) != FALSE;
}
bool Loaded(const std::string& folder, const std::string& name) {
  return GetFileAttributesA((folder + "\\" + name + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(DllSearchTest, NeitherTheCurrentDirectoryNorPathIsSearchedOnceRestricted) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string base = std::string(temp) + "brimlet-search-" + std::to_string(GetCurrentProcessId());
  std::string current = base + "-current", onPath = base + "-path";
  ASSERT_TRUE(CreateDirectoryA(current.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(onPath.c_str(), nullptr));
  char oldCurrent[MAX_PATH];
  GetCurrentDirectoryA(sizeof oldCurrent, oldCurrent);
  char oldPath[32767] = "";
  GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
  SetCurrentDirectoryA(current.c_str());
  SetEnvironmentVariableA("PATH", (onPath + ";" + oldPath).c_str());

  // Before: Windows' standard search finds a library in either folder.
  ASSERT_TRUE(Plant(current, "BEFORE1.DLL"));
  ASSERT_TRUE(Plant(onPath, "BEFORE2.DLL"));
  HMODULE before1 = LoadLibraryA("BEFORE1.DLL");
  HMODULE before2 = LoadLibraryA("BEFORE2.DLL");
  EXPECT_TRUE(before1 != nullptr && Loaded(current, "BEFORE1.DLL"));
  EXPECT_TRUE(before2 != nullptr && Loaded(onPath, "BEFORE2.DLL"));
  if (before1 != nullptr) FreeLibrary(before1);
  if (before2 != nullptr) FreeLibrary(before2);

  RestrictDllSearch();
  ASSERT_TRUE(Plant(current, "AFTER1.DLL"));
  ASSERT_TRUE(Plant(onPath, "AFTER2.DLL"));
  EXPECT_EQ(nullptr, LoadLibraryA("AFTER1.DLL"));
  EXPECT_EQ(nullptr, LoadLibraryA("AFTER2.DLL"));
  EXPECT_FALSE(Loaded(current, "AFTER1.DLL"));
  EXPECT_FALSE(Loaded(onPath, "AFTER2.DLL"));

  SetCurrentDirectoryA(oldCurrent);
  SetEnvironmentVariableA("PATH", oldPath);
  for (const std::string& folder : {current, onPath}) {
    for (const char* file :
         {"BEFORE1.DLL", "BEFORE2.DLL", "AFTER1.DLL", "AFTER2.DLL", "BEFORE1.DLL.loaded",
          "BEFORE2.DLL.loaded", "AFTER1.DLL.loaded", "AFTER2.DLL.loaded"}) {
      DeleteFileA((folder + "\\" + file).c_str());
    }
    RemoveDirectoryA(folder.c_str());
  }
}

}  // namespace
