#include "dialog_template.h"

#include <cctype>

namespace restest {
namespace {

// Walks the template bytes; every read is checked against the end, and a
// failed read leaves `ok` false for good.
class Reader {
 public:
  Reader(const void* data, size_t size)
      : start_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}

  bool ok() const { return ok_; }

  WORD Word() {
    WORD value = 0;
    if (Need(2)) value = static_cast<WORD>(start_[at_] | start_[at_ + 1] << 8);
    at_ += ok_ ? 2 : 0;
    return value;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  int Short() { return static_cast<int16_t>(Word()); }

  // A zero-terminated UTF-16 text, as UTF-8.
  std::string Text() {
    std::wstring wide;
    while (ok_) {
      WORD unit = Word();
      if (!ok_ || unit == 0) break;
      wide.push_back(static_cast<wchar_t>(unit));
    }
    return Utf8FromWide(wide.data(), wide.size());
  }

  NameOrOrdinal TextOrOrdinal() {
    NameOrOrdinal result;
    if (!Need(2)) return result;
    WORD first = static_cast<WORD>(start_[at_] | start_[at_ + 1] << 8);
    if (first == 0xFFFF) {
      Word();
      result.isOrdinal = true;
      result.ordinal = Word();
    } else {
      result.text = Text();
    }
    return result;
  }

  void Skip(size_t count) { at_ += Need(count) ? count : 0; }
  void AlignToDword() { Skip((4 - at_ % 4) % 4); }

 private:
  bool Need(size_t count) {
    if (at_ + count > size_) ok_ = false;
    return ok_;
  }

  const uint8_t* start_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

std::string ClassName(const NameOrOrdinal& name) {
  if (name.isOrdinal) {
    switch (name.ordinal) {
      case 0x80:
        return "button";
      case 0x81:
        return "edit";
      case 0x82:
        return "static";
      case 0x83:
        return "listbox";
      case 0x84:
        return "scrollbar";
      case 0x85:
        return "combobox";
      default:
        return "#" + std::to_string(name.ordinal);
    }
  }
  std::string lower = name.text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  auto* languages = reinterpret_cast<std::vector<LANGID>*>(param);
  languages->push_back(language);
  return languages->size() < 64;
}

}  // namespace

const DialogItem* DialogTemplate::Find(int id) const {
  for (const DialogItem& item : items) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out) {
  Reader in(data, size);
  WORD version = in.Word();
  WORD signature = in.Word();
  const bool extended = version == 1 && signature == 0xFFFF;
  int count = 0;
  if (extended) {
    in.Dword();  // help id
    out->exStyle = in.Dword();
    out->style = in.Dword();
  } else {
    out->style = version | static_cast<DWORD>(signature) << 16;
    out->exStyle = in.Dword();
  }
  count = in.Word();
  out->x = in.Short();
  out->y = in.Short();
  out->cx = in.Short();
  out->cy = in.Short();
  in.TextOrOrdinal();  // menu
  in.TextOrOrdinal();  // window class
  out->caption = in.Text();
  if (out->style & (DS_SETFONT | DS_SHELLFONT)) {
    out->fontSize = in.Word();
    if (extended) in.Skip(4);  // weight, italic, character set
    out->fontName = in.Text();
  }
  for (int i = 0; i < count && in.ok(); ++i) {
    in.AlignToDword();
    DialogItem item;
    if (extended) {
      in.Dword();  // help id
      item.exStyle = in.Dword();
      item.style = in.Dword();
    } else {
      item.style = in.Dword();
      item.exStyle = in.Dword();
    }
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    // Ids are unsigned 16 bits in the classic form (the details window uses
    // ids above 32767); both forms write -1 for "no id".
    item.id = extended ? static_cast<int>(in.Dword()) : in.Word();
    if (!extended && item.id == 0xFFFF) item.id = -1;
    item.className = ClassName(in.TextOrOrdinal());
    item.text = in.TextOrOrdinal();
    in.Skip(in.Word());  // creation data
    if (in.ok()) out->items.push_back(item);
  }
  return in.ok() && static_cast<int>(out->items.size()) == count;
}

bool LoadDialogTemplate(WORD id, LANGID language, DialogTemplate* out) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(id), language);
  if (info == nullptr) return false;
  HGLOBAL handle = LoadResource(module, info);
  if (handle == nullptr) return false;
  return ParseDialogTemplate(LockResource(handle), SizeofResource(module, info), out);
}

std::vector<LANGID> ResourceLanguages(LPCSTR type, WORD id) {
  std::vector<LANGID> languages;
  EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, MAKEINTRESOURCEA(id), CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

std::wstring StoredString(UINT id, LANGID language) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), language);
  if (info == nullptr) return std::wstring();
  auto* entry = static_cast<const WCHAR*>(LockResource(LoadResource(module, info)));
  const WCHAR* end = entry + SizeofResource(module, info) / sizeof(WCHAR);
  for (UINT index = 0; index < 16 && entry < end; ++index) {
    size_t length = *entry++;
    if (length > static_cast<size_t>(end - entry)) break;
    if (index == id % 16) return std::wstring(entry, length);
    entry += length;
  }
  return std::wstring();
}

std::string Utf8FromWide(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  int needed =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string result(needed > 0 ? needed : 0, '\0');
  if (needed > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &result[0], needed, nullptr,
                        nullptr);
  }
  return result;
}

std::string Cp1252FromUtf8(const std::string& text) {
  if (text.empty()) return std::string();
  int units =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(units > 0 ? units : 0, L'\0');
  if (units > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
  }
  int bytes = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                  nullptr, nullptr);
  std::string result(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0) {
    WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), &result[0], bytes,
                        nullptr, nullptr);
  }
  return result;
}

}  // namespace restest
