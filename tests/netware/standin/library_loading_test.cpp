// Where LoadClientLibrary finds the client's libraries, called directly in
// both widths (the 64-bit program never binds them, but loads them the same
// way). A recording CALWIN32.DLL is planted in the current directory and in a
// folder of PATH in every case, and must never be loaded; a copy beside this
// program or in the system folder is the one found. This program lies alone
// in its folder, without the stand-ins, and leaves the process's own DLL
// search as Windows sets it (no RestrictDllSearch).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "netware/client_libraries/library_loading_win.h"
#include "windows_path.h"

namespace {

const std::string kStandins = WindowsPath(BRIMLET_STANDIN_DIR) + "\\";

std::string Folder(DWORD (*get)(char*, DWORD)) {
  char path[MAX_PATH];
  DWORD length = get(path, MAX_PATH);
  std::string folder(path, length > 0 && length < MAX_PATH ? length : 0);
  return !folder.empty() && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
}
DWORD ProgramFolder(char* path, DWORD size) {
  DWORD length = GetModuleFileNameA(nullptr, path, size);
  while (length > 0 && path[length - 1] != '\\') --length;
  return length;
}
DWORD SystemFolder(char* path, DWORD size) { return GetSystemDirectoryA(path, size); }
DWORD TempFolder(char* path, DWORD size) { return GetTempPathA(size, path); }

std::string ModuleFolder(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : 0);
  size_t slash = name.find_last_of('\\');
  return slash == std::string::npos ? "" : name.substr(0, slash);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Files put in place by one case, taken away after it whatever it found.
class Placed {
 public:
  bool Put(const std::string& source, const std::string& folder, const char* name) {
    std::string target = folder + "\\" + name;
    files_.push_back(target);
    files_.push_back(target + ".loaded");
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
  }
  ~Placed() {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
  }

 private:
  std::vector<std::string> files_;
};

// A scratch folder made the current directory, and one put first on PATH.
class PlantedFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string base = Folder(TempFolder) + "\\brimlet-loading-" +
                       std::to_string(GetCurrentProcessId());
    current_ = base + "-current";
    onPath_ = base + "-path";
    ASSERT_TRUE(CreateDirectoryA(current_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(onPath_.c_str(), nullptr));
    GetCurrentDirectoryA(sizeof oldCurrent_, oldCurrent_);
    GetEnvironmentVariableA("PATH", oldPath_, sizeof oldPath_);
    ASSERT_TRUE(SetCurrentDirectoryA(current_.c_str()));
    SetEnvironmentVariableA("PATH", (onPath_ + ";" + oldPath_).c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(oldCurrent_);
    SetEnvironmentVariableA("PATH", oldPath_);
    RemoveDirectoryA(current_.c_str());
    RemoveDirectoryA(onPath_.c_str());
  }

  std::string current_, onPath_;
  char oldCurrent_[MAX_PATH] = "";
  char oldPath_[32767] = "";
};

enum class Where { Nowhere, Program, System };

struct LoadingCase {
  const char* name;
  bool besideProgram;  // a recording CALWIN32.DLL beside this program
  bool inSystem;       // one in the system folder
  Where found;
};

void PrintTo(const LoadingCase& c, std::ostream* out) { *out << c.name; }

class PlantedLibraryLoadingTest : public PlantedFolders,
                                  public ::testing::WithParamInterface<LoadingCase> {};

TEST_P(PlantedLibraryLoadingTest, ComesOnlyFromTheProgramOrTheSystemFolder) {
  const LoadingCase& c = GetParam();
  const std::string planted = kStandins + "planted\\CALWIN32.DLL";
  const std::string program = Folder(ProgramFolder), system = Folder(SystemFolder);
  ASSERT_FALSE(Exists(program + "\\CALWIN32.DLL")) << "this program must lie alone";
  Placed placed;
  ASSERT_TRUE(placed.Put(planted, current_, "CALWIN32.DLL"));
  ASSERT_TRUE(placed.Put(planted, onPath_, "CALWIN32.DLL"));
  if (c.besideProgram) {
    ASSERT_TRUE(placed.Put(planted, program, "CALWIN32.DLL"));
  }
  if (c.inSystem) {
    ASSERT_TRUE(placed.Put(planted, system, "CALWIN32.DLL"));
  }

  HMODULE module = LoadClientLibrary("CALWIN32.DLL");
  std::string from = module != nullptr ? ModuleFolder(module) : "";
  if (module != nullptr) FreeLibrary(module);

  EXPECT_FALSE(Exists(current_ + "\\CALWIN32.DLL.loaded")) << "loaded from the current directory";
  EXPECT_FALSE(Exists(onPath_ + "\\CALWIN32.DLL.loaded")) << "loaded from a folder of PATH";
  const std::string expected =
      c.found == Where::Program ? program : c.found == Where::System ? system : "";
  EXPECT_TRUE(lstrcmpiA(expected.c_str(), from.c_str()) == 0)
      << "expected from '" << expected << "', loaded from '" << from << "'";
  if (!expected.empty()) {
    EXPECT_TRUE(Exists(expected + "\\CALWIN32.DLL.loaded"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlantedLibraryLoadingTest,
    ::testing::Values(LoadingCase{"planted-only", false, false, Where::Nowhere},
                      LoadingCase{"beside-program", true, false, Where::Program},
                      LoadingCase{"in-system-folder", false, true, Where::System},
                      LoadingCase{"program-before-system", true, true, Where::Program}),
    [](const ::testing::TestParamInfo<LoadingCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == '-') ch = '_';
      }
      return name;
    });

// The client's libraries import one another: CLXWIN32.DLL beside the program
// takes CALWIN32.DLL from its own folder or the system folder, never from a
// planted copy in the current directory or on PATH.
TEST_F(PlantedFolders, ALibrarysOwnImportsAreNotTakenFromTheCurrentDirectoryOrPath) {
  const std::string program = Folder(ProgramFolder), system = Folder(SystemFolder);
  Placed placed;
  ASSERT_TRUE(placed.Put(kStandins + "CLXWIN32.DLL", program, "CLXWIN32.DLL"));
  ASSERT_TRUE(placed.Put(kStandins + "CALWIN32.DLL", current_, "CALWIN32.DLL"));
  ASSERT_TRUE(placed.Put(kStandins + "CALWIN32.DLL", onPath_, "CALWIN32.DLL"));

  HMODULE connections = LoadClientLibrary("CLXWIN32.DLL");
  HMODULE calls = GetModuleHandleA("CALWIN32.DLL");
  std::string callsFrom = calls != nullptr ? ModuleFolder(calls) : "";
  if (connections != nullptr) FreeLibrary(connections);
  EXPECT_EQ(nullptr, connections) << "its CALWIN32.DLL came from '" << callsFrom << "'";

  ASSERT_TRUE(placed.Put(kStandins + "CALWIN32.DLL", system, "CALWIN32.DLL"));
  connections = LoadClientLibrary("CLXWIN32.DLL");
  calls = GetModuleHandleA("CALWIN32.DLL");
  callsFrom = calls != nullptr ? ModuleFolder(calls) : "";
  if (connections != nullptr) FreeLibrary(connections);
  EXPECT_NE(nullptr, connections);
  EXPECT_TRUE(lstrcmpiA(system.c_str(), callsFrom.c_str()) == 0) << "from '" << callsFrom << "'";
}

}  // namespace
