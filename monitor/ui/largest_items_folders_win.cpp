#include "ui/largest_items_folders_win.h"

#include <vector>

namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

// One folder listed through GetFileInformationByHandleEx: it hands many
// names at once and, unlike FindFirstFile, each name's allocated size.
class CWinFolderListing : public FolderListing {
 public:
  explicit CWinFolderListing(HANDLE handle) : handle_(handle) {}
  ~CWinFolderListing() override { CloseHandle(handle_); }
  CWinFolderListing(const CWinFolderListing&) = delete;
  CWinFolderListing& operator=(const CWinFolderListing&) = delete;

  Next Read(FolderEntry* entry) override {
    if (next_ == nullptr) {
      const FILE_INFO_BY_HANDLE_CLASS kind =
          first_ ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo;
      first_ = false;
      if (!GetFileInformationByHandleEx(handle_, kind, buffer_.data(),
                                        static_cast<DWORD>(buffer_.size() * sizeof(buffer_[0])))) {
        return GetLastError() == ERROR_NO_MORE_FILES ? Next::End : Next::Failed;
      }
      next_ = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer_.data());
    }
    const FILE_ID_BOTH_DIR_INFO* info = next_;
    next_ = info->NextEntryOffset == 0
                ? nullptr
                : reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                      reinterpret_cast<const char*>(info) + info->NextEntryOffset);
    entry->name = Utf8FromWide(info->FileName, info->FileNameLength / sizeof(wchar_t));
    entry->folder = (info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->link = (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // The walk decides what counts (CountedBytes): the allocation, the length
    // only for a file small enough to live in its file record.
    entry->bytes = static_cast<uint64_t>(info->AllocationSize.QuadPart);
    entry->length = static_cast<uint64_t>(info->EndOfFile.QuadPart);
    entry->identity = static_cast<uint64_t>(info->FileId.QuadPart);
    return Next::Entry;
  }

 private:
  HANDLE handle_;
  bool first_ = true;
  const FILE_ID_BOTH_DIR_INFO* next_ = nullptr;
  // 16 KB per open level: the walk's memory grows with the depth only.
  std::vector<LONGLONG> buffer_ = std::vector<LONGLONG>(2048);
};

}  // namespace

std::wstring WideFromCodePage(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string Utf8FromWide(const wchar_t* text, std::size_t length) {
  if (length == 0) return std::string();
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], size, nullptr, nullptr);
  return utf8;
}

std::string AnsiFromUtf8(const std::string& text, bool* lossy) {
  *lossy = false;
  const std::wstring wide = WideFromCodePage(CP_UTF8, text);
  if (wide.empty() || GetACP() == CP_UTF8) return text;
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, "?", &usedDefault);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      &ansi[0], size, "?", &usedDefault);
  *lossy = usedDefault != FALSE;
  return ansi;
}

std::wstring ExtendedFolderPath(const std::wstring& path) {
  std::wstring full = path;
  for (wchar_t& c : full) {
    if (c == L'/') c = L'\\';
  }
  if (full.compare(0, 4, kExtendedPrefix) != 0) {
    const DWORD length = GetFullPathNameW(full.c_str(), 0, nullptr, nullptr);
    if (length != 0) {
      std::wstring resolved(length, L'\0');
      const DWORD written = GetFullPathNameW(full.c_str(), length, &resolved[0], nullptr);
      resolved.resize(written);
      if (written != 0) full = resolved;
    }
    if (full.compare(0, 2, L"\\\\") == 0) {
      full = kExtendedUncPrefix + full.substr(2);
    } else {
      full = kExtendedPrefix + full;
    }
  }
  if (full.empty() || full.back() != L'\\') full += L'\\';
  return full;
}

std::string ShellPathOf(const std::wstring& extended) {
  auto plain = [](const std::wstring& path) {
    if (path.compare(0, 8, kExtendedUncPrefix) == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, kExtendedPrefix) == 0) return path.substr(4);
    return path;
  };
  auto fits = [](const std::wstring& path, std::string* ansi) {
    if (path.empty() || path.size() >= MAX_PATH) return false;
    bool lossy = false;
    *ansi = AnsiFromUtf8(Utf8FromWide(path.data(), path.size()), &lossy);
    return !lossy;
  };
  std::string ansi;
  if (fits(plain(extended), &ansi)) return ansi;
  const DWORD length = GetShortPathNameW(extended.c_str(), nullptr, 0);
  if (length == 0) return std::string();
  std::wstring shortPath(length, L'\0');
  shortPath.resize(GetShortPathNameW(extended.c_str(), &shortPath[0], length));
  return fits(plain(shortPath), &ansi) ? ansi : std::string();
}

CWinFolderSource::CWinFolderSource(const std::string& watchedPath)
    : root_(ExtendedFolderPath(WideFromCodePage(CP_ACP, watchedPath))) {}

std::wstring CWinFolderSource::FullPath(const std::string& relative) const {
  return root_ + WideFromCodePage(CP_UTF8, relative);
}

std::unique_ptr<FolderListing> CWinFolderSource::Open(const std::string& relative,
                                                      uint64_t* identity) {
  // Below the root a reparse point is opened as itself, never followed: the
  // walk skips those it is told of, and this holds for any it is not.
  const DWORD flags =
      FILE_FLAG_BACKUP_SEMANTICS | (relative.empty() ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  HANDLE handle = CreateFileW(FullPath(relative).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Below the root the folder's entry in its parent's listing tells who it
  // is: asking the handle costs as much as the whole listing under Wine.
  BY_HANDLE_FILE_INFORMATION info{};
  *identity = 0;
  if (relative.empty() && GetFileInformationByHandle(handle, &info)) {
    *identity = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  }
  return std::make_unique<CWinFolderListing>(handle);
}
