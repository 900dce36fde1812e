// Resource lookup by the user's interface language.
//
// The platform's own lookup cannot be relied on for regional variants: Wine
// matches the language exactly and otherwise falls back to English, so a Swiss
// French or Austrian German user would get English there but French or German
// on Windows. The choice is therefore made here, the same way everywhere: list
// the languages a resource exists in, pick one, and load exactly that variant.
#include "framework/resource_language.h"

#include <vector>

namespace fw {
namespace {

// A module holds a handful of languages per resource; the cap only bounds
// the enumeration should a module list absurdly many.
constexpr size_t kMaxLanguages = 256;

const LANGID kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  auto* languages = reinterpret_cast<std::vector<LANGID>*>(param);
  languages->push_back(language);
  return languages->size() < kMaxLanguages;
}

HMODULE ProgramModule() { return GetModuleHandleA(nullptr); }

// The chosen variant's data, or nullptr; `size` receives its size in bytes.
const void* FindResourceData(LPCSTR type, LPCSTR name, DWORD* size) {
  HMODULE module = ProgramModule();
  std::vector<LANGID> languages;
  EnumResourceLanguagesA(module, type, name, CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  if (languages.empty()) return nullptr;
  LANGID language =
      PickResourceLanguage(GetUserDefaultUILanguage(), languages.data(), languages.size());
  HRSRC info = FindResourceExA(module, type, name, language);
  if (info == nullptr) return nullptr;
  HGLOBAL handle = LoadResource(module, info);
  if (handle == nullptr) return nullptr;
  if (size != nullptr) *size = SizeofResource(module, info);
  return LockResource(handle);
}

std::string ToAnsi(const WCHAR* text, int length) {
  if (length <= 0) return std::string();
  int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string result(static_cast<size_t>(needed), '\0');
  int written = WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], needed, nullptr, nullptr);
  result.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return result;
}

}  // namespace

LANGID PickResourceLanguage(LANGID user, const LANGID* available, size_t count) {
  if (available == nullptr || count == 0) return 0;
  const LANGID* same_primary_neutral = nullptr;
  const LANGID* same_primary_default = nullptr;
  const LANGID* same_primary_first = nullptr;
  const LANGID* english_us = nullptr;
  const LANGID* neutral = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const LANGID* language = &available[i];
    if (*language == user) return user;
    if (PRIMARYLANGID(*language) == PRIMARYLANGID(user) && PRIMARYLANGID(user) != LANG_NEUTRAL) {
      if (SUBLANGID(*language) == SUBLANG_NEUTRAL && !same_primary_neutral) {
        same_primary_neutral = language;
      }
      if (SUBLANGID(*language) == SUBLANG_DEFAULT && !same_primary_default) {
        same_primary_default = language;
      }
      if (!same_primary_first) same_primary_first = language;
    }
    if (*language == kEnglishUs && !english_us) english_us = language;
    if (PRIMARYLANGID(*language) == LANG_NEUTRAL && !neutral) neutral = language;
  }
  for (const LANGID* choice :
       {same_primary_neutral, same_primary_default, same_primary_first, english_us, neutral}) {
    if (choice) return *choice;
  }
  return available[0];
}

LANGID ResourceLanguage(HMODULE module, LPCSTR type, LPCSTR name) {
  std::vector<LANGID> languages;
  EnumResourceLanguagesA(module, type, name, CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return PickResourceLanguage(GetUserDefaultUILanguage(), languages.data(), languages.size());
}

std::string LoadResString(UINT id) {
  // Strings are stored in blocks of 16, block n holding ids (n - 1) * 16 to
  // n * 16 - 1; each entry is a 16-bit length followed by that many UTF-16
  // units, without terminator.
  DWORD size = 0;
  auto* block =
      static_cast<const WCHAR*>(FindResourceData(RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), &size));
  if (block == nullptr) return std::string();
  const WCHAR* end = block + size / sizeof(WCHAR);
  const WCHAR* entry = block;
  for (UINT index = 0; index < 16 && entry < end; ++index) {
    size_t length = *entry++;
    if (length > static_cast<size_t>(end - entry)) break;  // damaged block
    if (index == id % 16) return ToAnsi(entry, static_cast<int>(length));
    entry += length;
  }
  return std::string();
}

HMENU LoadResMenu(UINT id) {
  const void* menu = FindResourceData(RT_MENU, MAKEINTRESOURCEA(id), nullptr);
  return menu ? LoadMenuIndirectA(menu) : nullptr;
}

LPCDLGTEMPLATEA FindDialogTemplate(UINT id) {
  return static_cast<LPCDLGTEMPLATEA>(FindResourceData(RT_DIALOG, MAKEINTRESOURCEA(id), nullptr));
}

}  // namespace fw
