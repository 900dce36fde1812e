// The package's custom action: the monitor's command-line properties are
// checked (core/property_check.h) before the launch conditions, in native
// code, so that workstations that block script custom actions install too.
// Each refused value is written to the installer's log; any refusal fails the
// installation with 1603 before anything is done.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>

#include "core/property_check.h"

namespace {

std::u16string Property(MSIHANDLE install, std::string_view name) {
  const std::wstring wideName(name.begin(), name.end());
  wchar_t empty[1] = L"";
  DWORD length = 0;
  if (MsiGetPropertyW(install, wideName.c_str(), empty, &length) != ERROR_MORE_DATA) return u"";
  std::wstring value(length + 1, L'\0');
  ++length;
  if (MsiGetPropertyW(install, wideName.c_str(), value.data(), &length) != ERROR_SUCCESS) return u"";
  value.resize(length);
  return std::u16string(value.begin(), value.end());
}

// No best-fit mapping, the default character noticed, and the bytes read back
// as the very same character: anything else would reach the program changed.
std::optional<std::string> AnsiOf(std::u16string_view character) {
  const std::wstring wide(character.begin(), character.end());
  const int units = static_cast<int>(wide.size());
  // UTF-8 as the ANSI code page takes neither the flag nor the question.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  char bytes[8];
  const int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), units, bytes, sizeof bytes,
                                         nullptr, utf8 ? nullptr : &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  wchar_t back[4];
  const int backUnits = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, back, 4);
  if (backUnits != units || std::wstring(back, backUnits) != wide) return std::nullopt;
  return std::string(bytes, length);
}

// The percent-only packages have no UNIT property of their own; one given on
// the command line does not make it part of the program's command line.
CommandLineForm PackageForm(MSIHANDLE install) {
  CommandLineForm form = CommandLineForm::PercentOnly;
  MSIHANDLE database = MsiGetActiveDatabase(install);
  MSIHANDLE view = 0;
  MSIHANDLE row = 0;
  if (database != 0 &&
      MsiDatabaseOpenViewW(database, L"SELECT `Value` FROM `Property` WHERE `Property` = 'UNIT'",
                           &view) == ERROR_SUCCESS &&
      MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &row) == ERROR_SUCCESS) {
    form = CommandLineForm::WithUnit;
  }
  for (MSIHANDLE handle : {row, view, database}) {
    if (handle != 0) MsiCloseHandle(handle);
  }
  return form;
}

void Log(MSIHANDLE install, const std::string& line) {
  MSIHANDLE record = MsiCreateRecord(1);
  if (record == 0) return;
  // The text is formatted: a value such as [::1] would be read as a
  // property. [\[] and the like stand for the character itself.
  std::string text = "Brimlet: ";
  for (char c : line) {
    if (c == '[' || c == ']' || c == '{' || c == '}') {
      text += std::string("[\\") + c + "]";
    } else {
      text += c;
    }
  }
  MsiRecordSetStringA(record, 0, text.c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
  MsiCloseHandle(record);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CheckProperties(MSIHANDLE install) {
  const auto refused = RefusedProperties(
      [install](std::string_view name) { return Property(install, name); }, AnsiOf,
      PackageForm(install));
  for (const std::string& line : refused) Log(install, line);
  if (!refused.empty()) return ERROR_INSTALL_FAILURE;
  Log(install, "the command-line properties are read by the program as given.");
  return ERROR_SUCCESS;
}
