// Reads a dialog template resource (classic or extended form) into plain
// values, so that tests can check what a language block really holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace restest {

// A class, caption or control text: either a text or a numeric ordinal.
struct NameOrOrdinal {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::string text;  // UTF-8
};

struct DialogItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;             // -1 for static texts without an id
  std::string className;  // lower case; the predefined ordinals become "button", "static", ...
  NameOrOrdinal text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;  // UTF-8
  int fontSize = 0;
  std::string fontName;  // UTF-8
  std::vector<DialogItem> items;

  // The first item with `id`, or nullptr.
  const DialogItem* Find(int id) const;
};

// Parses `size` bytes of a template. Returns false, leaving `out` partly
// filled, when the data is cut short or malformed.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out);

// Loads dialog `id` of exactly `language` from the running program and parses it.
bool LoadDialogTemplate(WORD id, LANGID language, DialogTemplate* out);

// Every language the program holds resource (type, id) in, in module order.
std::vector<LANGID> ResourceLanguages(LPCSTR type, WORD id);

// String `id` of exactly `language` as the program's string table holds it;
// empty when its block does not exist or the entry is empty or cut short.
std::wstring StoredString(UINT id, LANGID language);

// Converts UTF-16 to UTF-8, or UTF-8 to Windows-1252 bytes.
std::string Utf8FromWide(const wchar_t* text, size_t length);
std::string Cp1252FromUtf8(const std::string& text);

}  // namespace restest
