// The real brimlet.exe, copied into a scratch folder with or without the
// stand-in client libraries beside it, watched as its debugger: which client
// it finds, what it says about it, and what it shows and sends.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/monitor_settings.h"
#include "debugged_process.h"
#include "resources/resource.h"
#include "datagram_catcher.h"
#include "window_search.h"
#include "windows_path.h"

namespace {

const std::string kStandins = WindowsPath(BRIMLET_STANDIN_DIR) + "\\";
const char* const kLibraries[] = {"CALWIN32.DLL", "CLXWIN32.DLL", "LOCWIN32.DLL", "NETWIN32.DLL"};

// A folder of this test holding a copy of brimlet.exe (unless told not to)
// and whatever a case puts beside it; removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* name, bool withProgram = true) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "brimlet-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    if (withProgram) Copy(WindowsPath(BRIMLET_EXE), "brimlet.exe");
  }
  ~ScratchFolder() {
    for (const std::string& file : files_) DeleteFileA((path_ + "\\" + file).c_str());
    RemoveDirectoryA(path_.c_str());
  }
  bool Copy(const std::string& from, const std::string& name) {
    files_.push_back(name);
    return CopyFileA(from.c_str(), (path_ + "\\" + name).c_str(), FALSE) != FALSE;
  }
  std::string Path(const std::string& name) const { return path_ + "\\" + name; }
  const std::string& Folder() const { return path_; }
  // A file that something else may create here, removed with the folder.
  void Expect(const std::string& name) { files_.push_back(name); }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// BRIMLET_NETWORK for the programs this test starts; unset again at the end.
class NetworkVariable {
 public:
  explicit NetworkVariable(const std::string& value) {
    SetEnvironmentVariableA("BRIMLET_NETWORK", value.empty() ? nullptr : value.c_str());
  }
  ~NetworkVariable() { SetEnvironmentVariableA("BRIMLET_NETWORK", nullptr); }
};

// A control's text in the program's details window (hidden or not), read
// without blocking should the program be held at a debug event.
std::string DetailsText(DWORD processId, int id) {
  const HWND details = FindWindowWhere([processId](HWND window) {
    return ProcessOf(window) == processId && GetDlgItem(window, IDC_STATUS_TEXT) != nullptr;
  });
  if (details == nullptr) return "<no details window>";
  char text[256] = "";
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(GetDlgItem(details, id), WM_GETTEXT, sizeof text,
                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 200, &copied);
  return text;
}

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

constexpr DWORD kPatience = 20000;
const char* const kInUse = "NetWare client in use: ";

// Where the two programs differ: the 64-bit one binds no client, since the
// libraries' names and ordinals are known for the 32-bit client only. With
// the stand-ins beside it, it says so and reads the simulated network.
#if defined(_WIN64)
constexpr bool kBindsClient = false;
#else
constexpr bool kBindsClient = true;
#endif
const char* const kNoBinding = "the 64-bit program binds no NetWare client libraries";

// The monitor splits its command line at blanks and takes no quotes.
std::string Arguments(const std::string& path, int port) {
  return path + " 3600 75 95 % N N 127.0.0.1 " + std::to_string(port);
}

// The watched path: a folder below the mapped H:\ keeps this copy apart from
// other tests'; the longest path the program accepts starts and alerts too
// (its window class name is then the longest Windows registers).
struct WatchedPath {
  const char* name;
  std::string path;
};

void PrintTo(const WatchedPath& watched, std::ostream* out) { *out << watched.name; }

class ProgramWithClientTest : public ::testing::TestWithParam<WatchedPath> {};

TEST_P(ProgramWithClientTest, TheStandInsBesideTheProgramSendTheWalkThroughsWarning) {
  const std::string& path = GetParam().path;
  ScratchFolder folder("with-client");
  for (const char* library : kLibraries) ASSERT_TRUE(folder.Copy(kStandins + library, library));
  ASSERT_TRUE(folder.Copy(WindowsPath(BRIMLET_EXAMPLES_DIR "/walkthrough.net"), "walkthrough.net"));
  NetworkVariable network(folder.Path("walkthrough.net"));
  DatagramCatcher receiver;

  DebuggedProcess program(folder.Path("brimlet.exe"), Arguments(path, receiver.Port()));
  ASSERT_TRUE(program.Started());
  std::vector<std::string> datagrams;
  EXPECT_TRUE(program.RunUntil(
      [&] {
        for (const std::string& datagram : receiver.Drain(20)) datagrams.push_back(datagram);
        return !datagrams.empty();
      },
      kPatience));
  ASSERT_EQ(1u, datagrams.size()) << program.DebugText() << " / status: "
                                  << DetailsText(program.ProcessId(), IDC_STATUS_TEXT);
  EXPECT_EQ("Warning,user1,80%,20.00 Mb free,102.40 Mb max", datagrams[0]);
  const char* used = kBindsClient ? "the client libraries" : "the simulated network";
  EXPECT_TRUE(Holds(program.DebugText(), std::string(kInUse) + used)) << program.DebugText();
  EXPECT_EQ(!kBindsClient, Holds(program.DebugText(), kNoBinding)) << program.DebugText();
  EXPECT_EQ("user1", DetailsText(program.ProcessId(), IDC_LOGIN_NAME));
  // It watches this path, not the defaults' H:\ (the path is upper-case).
  EXPECT_NE(nullptr, FindWindowA((kWindowClassPrefix + path).c_str(), nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramWithClientTest,
    ::testing::Values(WatchedPath{"BelowTheDrive", "H:\\STANDIN\\"},
                      WatchedPath{"LongestAccepted",
                                  "H:\\STANDIN\\" + std::string(kMaxWatchedPathLength - 11, 'P')}),
    [](const ::testing::TestParamInfo<WatchedPath>& info) { return info.param.name; });

// Without a complete client and without a network description the program
// still runs, with the unknown level; the debugger output says why.
struct MissingClient {
  const char* name;
  bool standins;         // the stand-ins beside the program
  const char* netwin32;  // the stand-ins' subfolder to take NETWIN32.DLL from
  const char* reason;    // expected in the debugger output, or ""
  bool network = false;  // BRIMLET_NETWORK names the walk-through network
};

void PrintTo(const MissingClient& missing, std::ostream* out) { *out << missing.name; }

class ProgramWithoutClientTest : public ::testing::TestWithParam<MissingClient> {};

TEST_P(ProgramWithoutClientTest, ShowsTheUnknownLevelAndSaysWhy) {
  const MissingClient& missing = GetParam();
  if (missing.network && !kBindsClient) {
    GTEST_SKIP() << "the 64-bit program reads the simulated network in-process";
  }
  ScratchFolder folder(missing.name);
  if (missing.standins) {
    for (const char* library : kLibraries) {
      std::string from = kStandins + library;
      if (std::string(library) == "NETWIN32.DLL") from = kStandins + missing.netwin32 + library;
      ASSERT_TRUE(folder.Copy(from, library));
    }
  }
  if (missing.network) {
    ASSERT_TRUE(
        folder.Copy(WindowsPath(BRIMLET_EXAMPLES_DIR "/walkthrough.net"), "walkthrough.net"));
  }
  NetworkVariable network(missing.network ? folder.Path("walkthrough.net") : "");
  DatagramCatcher receiver;
  DebuggedProcess program(folder.Path("brimlet.exe"),
                          Arguments(std::string("Q:\\") + missing.name + "\\", receiver.Port()));
  ASSERT_TRUE(program.Started());
  EXPECT_TRUE(program.RunUntil(
      [&] {
        return Holds(program.DebugText(), kInUse) &&
               DetailsText(program.ProcessId(), IDC_LOGIN_NAME) == "??";
      },
      kPatience))
      << program.DebugText();
  EXPECT_TRUE(Holds(program.DebugText(), std::string(kInUse) + "none")) << program.DebugText();
  const char* reason = kBindsClient ? missing.reason : kNoBinding;
  EXPECT_TRUE(Holds(program.DebugText(), reason)) << program.DebugText();
  EXPECT_EQ("??", DetailsText(program.ProcessId(), IDC_SERVER_NAME));
  EXPECT_EQ("Unknown free space.", DetailsText(program.ProcessId(), IDC_STATUS_TEXT));
  EXPECT_FALSE(program.Ended());
  EXPECT_TRUE(receiver.Drain(50).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramWithoutClientTest,
    ::testing::Values(
        MissingClient{"no-client", false, "", ""},
        // The shipped program carries no simulation: a network description
        // without the stand-ins beside it is not read.
        MissingClient{"network-only", false, "",
                      "NetWare client in use: none (no client libraries)\n", true},
        // The lowest ordinal gone, and one inside the range with its
        // neighbours kept.
        MissingClient{"lacking-ordinal", true, "lacking\\",
                      "NetWare client unusable: NETWIN32.DLL lacks ordinal 1002 (CloseDirContext)"},
        MissingClient{"gap-ordinal", true, "gap\\",
                      "NetWare client unusable: NETWIN32.DLL lacks ordinal 1006 (AllocDirBuffer)"}),
    [](const ::testing::TestParamInfo<MissingClient>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == '-') c = '_';
      }
      return name;
    });

// A CALWIN32.DLL planted in the current directory or in a folder of PATH
// is never loaded: the client comes from the program's folder or the system
// folder only. The planted library records being loaded beside itself.
struct PlantedCase {
  const char* name;
  bool inCurrent;     // planted in the program's current directory
  bool onPath;        // planted in a folder of its PATH
  bool standins;      // the stand-ins beside the program
  const char* inUse;  // the client the program must name
};

void PrintTo(const PlantedCase& planted, std::ostream* out) { *out << planted.name; }

class PlantedLibraryTest : public ::testing::TestWithParam<PlantedCase> {};

// The current directory and PATH of the programs started while it lives.
class StartingPlace {
 public:
  StartingPlace(const std::string& current, const std::string& pathFolder) {
    GetCurrentDirectoryA(sizeof oldCurrent_, oldCurrent_);
    GetEnvironmentVariableA("PATH", oldPath_, sizeof oldPath_);
    SetCurrentDirectoryA(current.c_str());
    SetEnvironmentVariableA("PATH", (pathFolder + ";" + oldPath_).c_str());
  }
  ~StartingPlace() {
    SetCurrentDirectoryA(oldCurrent_);
    SetEnvironmentVariableA("PATH", oldPath_);
  }

 private:
  char oldCurrent_[MAX_PATH] = "";
  char oldPath_[32767] = "";
};

TEST_P(PlantedLibraryTest, IsNeverLoaded) {
  const PlantedCase& planted = GetParam();
  ScratchFolder program((std::string(planted.name) + "-program").c_str());
  if (planted.standins) {
    for (const char* library : kLibraries) ASSERT_TRUE(program.Copy(kStandins + library, library));
  }
  ScratchFolder current((std::string(planted.name) + "-current").c_str(), false);
  ScratchFolder onPath((std::string(planted.name) + "-path").c_str(), false);
  for (ScratchFolder* folder : {&current, &onPath}) {
    folder->Expect("CALWIN32.DLL.loaded");
    if (folder == &current ? planted.inCurrent : planted.onPath) {
      ASSERT_TRUE(folder->Copy(kStandins + "planted\\CALWIN32.DLL", "CALWIN32.DLL"));
    }
  }
  NetworkVariable network("");
  DatagramCatcher receiver;
  StartingPlace place(current.Folder(), onPath.Folder());
  DebuggedProcess process(program.Path("brimlet.exe"),
                          Arguments(std::string("Q:\\") + planted.name + "\\", receiver.Port()));
  ASSERT_TRUE(process.Started());
  EXPECT_TRUE(process.RunUntil([&] { return Holds(process.DebugText(), kInUse); }, kPatience))
      << process.DebugText();
  EXPECT_TRUE(Holds(process.DebugText(), std::string(kInUse) + planted.inUse))
      << process.DebugText();
  EXPECT_FALSE(Holds(process.DebugText(), "NetWare client incomplete")) << process.DebugText();
  if (planted.standins) {
    EXPECT_EQ(!kBindsClient, Holds(process.DebugText(), kNoBinding)) << process.DebugText();
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
            GetFileAttributesA(current.Path("CALWIN32.DLL.loaded").c_str()))
      << "loaded from the current directory";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(onPath.Path("CALWIN32.DLL.loaded").c_str()))
      << "loaded from a folder of PATH";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlantedLibraryTest,
    ::testing::Values(PlantedCase{"planted-in-current", true, false, false, "none"},
                      PlantedCase{"planted-on-path", false, true, false, "none"},
                      PlantedCase{"planted-in-both", true, true, false, "none"},
                      // The 64-bit program binds no client, even beside the stand-ins.
                      PlantedCase{"planted-besides-client", true, true, true,
                                  kBindsClient ? "the client libraries" : "none"}),
    [](const ::testing::TestParamInfo<PlantedCase>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == '-') c = '_';
      }
      return name;
    });

}  // namespace
