// The watched path's folders for the walk of core/space_scan.h, read through
// the wide \\?\ forms so that no path length or name is out of reach, and
// the conversions between the walk's UTF-8 names, the wide names of the
// system and the ANSI code page the rest of the program shows.
#pragma once

#include <windows.h>

#include <string>

#include "core/space_scan.h"

class CWinFolderSource : public FolderSource {
 public:
  // `watchedPath` in the ANSI code page, as the command line gives it.
  explicit CWinFolderSource(const std::string& watchedPath);
  std::unique_ptr<FolderListing> Open(const std::string& relative, uint64_t* identity) override;
  // The \\?\ form of `relative` under the watched path.
  std::wstring FullPath(const std::string& relative) const;

 private:
  std::wstring root_;  // \\?\ form, ends with a backslash
};

// The \\?\ form of a path (drive, UNC or relative), ending with a backslash.
std::wstring ExtendedFolderPath(const std::wstring& path);
std::wstring WideFromCodePage(UINT codePage, const std::string& text);
std::string Utf8FromWide(const wchar_t* text, std::size_t length);
// `text` (UTF-8) in the ANSI code page; a character the code page lacks
// becomes '?' and sets `lossy`.
std::string AnsiFromUtf8(const std::string& text, bool* lossy);
// A path Explorer accepts (no \\?\ prefix, within MAX_PATH, in the ANSI code
// page), from the \\?\ form; the short form where the long one does not do;
// empty when neither does.
std::string ShellPathOf(const std::wstring& extended);
