#include "netware/client_libraries/library_loading_win.h"

#include <string>

#include "netware/client_libraries/export_table.h"

namespace {

// Present from Windows 8, and on Windows Vista and 7 with update KB2533623.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
// Present from Windows XP SP1 (SetDllDirectoryA) and SP2 / Vista
// (SetSearchPathMode).
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
using SetSearchPathModeFunction = BOOL(WINAPI*)(DWORD);

// Flags of the newer loader, spelt out for headers that lack them.
constexpr DWORD kSearchDllLoadDir = 0x00000100;     // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchDefaultDirs = 0x00001000;    // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
constexpr DWORD kSafeSearchMode = 0x00000001;       // BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE
constexpr DWORD kSearchModePermanent = 0x00008000;  // BASE_SEARCH_PATH_PERMANENT

template <typename Function>
Function Kernel32Function(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// Whether LoadLibraryEx takes the LOAD_LIBRARY_SEARCH_* flags: documented to
// go with the presence of SetDefaultDllDirectories.
bool HasSearchFlags() {
  static const bool has =
      Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories") != nullptr;
  return has;
}

// Text of the returned length, or empty when the call failed or the name did
// not fit (a cut path must never be used).
std::wstring Fitted(const wchar_t* buffer, DWORD length, DWORD size) {
  if (length == 0 || length >= size) return L"";
  return std::wstring(buffer, length);
}

// The folder of this program's .exe, with a trailing backslash.
std::wstring ProgramFolder() {
  // Room for the longest path Windows has; kept off the stack.
  std::wstring buffer(32768, L'\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  std::wstring program = Fitted(&buffer[0], GetModuleFileNameW(nullptr, &buffer[0], size), size);
  size_t slash = program.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"" : program.substr(0, slash + 1);
}

// The Windows system folder, with a trailing backslash.
std::wstring SystemFolder() {
  wchar_t path[MAX_PATH];
  std::wstring folder = Fitted(path, GetSystemDirectoryW(path, MAX_PATH), MAX_PATH);
  if (folder.empty()) return L"";
  return folder.back() == L'\\' ? folder : folder + L'\\';
}

HMODULE LoadByFullPath(const std::wstring& folder, const char* name) {
  if (folder.empty()) return nullptr;
  std::wstring path = folder;
  for (const char* c = name; *c != '\0'; ++c) path += static_cast<wchar_t>(*c);
  // The altered search makes the library's own imports come from its folder
  // first; with the newer flags, from its folder and the system folder only.
  DWORD flags =
      HasSearchFlags() ? kSearchDllLoadDir | kSearchDefaultDirs : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExW(path.c_str(), nullptr, flags);
}

}  // namespace

void RestrictDllSearch() {
  // An empty folder takes the current directory out of the standard search.
  if (auto setDllDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryA")) {
    setDllDirectory("");
  }
  // Where available, the process searches the program's folder and the
  // system folder only: neither the current directory nor PATH.
  if (auto setDefault =
          Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories")) {
    setDefault(kSearchDefaultDirs);
  }
  // SearchPath (used for some loads by name) looks in the current directory
  // only after the system folders.
  if (auto setMode = Kernel32Function<SetSearchPathModeFunction>("SetSearchPathMode")) {
    setMode(kSafeSearchMode | kSearchModePermanent);
  }
}

HMODULE LoadClientLibrary(const char* name) {
  HMODULE module = LoadByFullPath(ProgramFolder(), name);
  if (module == nullptr) module = LoadByFullPath(SystemFolder(), name);
  return module;
}

bool ExportsOrdinal(HMODULE module, WORD ordinal) {
  // The header pages: the first region of the mapping with one protection.
  MEMORY_BASIC_INFORMATION region{};
  if (module == nullptr || VirtualQuery(module, &region, sizeof region) != sizeof region ||
      region.BaseAddress != module) {
    return false;
  }
  return FindOrdinalExport(reinterpret_cast<const unsigned char*>(module), region.RegionSize,
                           ordinal) == OrdinalExport::Exported;
}
