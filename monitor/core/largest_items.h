// The rows of the "what uses the space" window and their texts: the ranking
// of the folders under the watched path, the bounded list of the largest
// files, the size and share texts of a row, and the text the Copy command
// puts on the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <queue>
#include <string>
#include <vector>

// One folder (the whole tree under it) or one file, its path relative to the
// watched path in UTF-8, parts joined by a backslash.
struct ScanRow {
  std::string path;
  uint64_t bytes = 0;
  bool folder = false;
};

// Largest first; equal sizes by path, so that the order never depends on the
// order the file system lists names in.
bool RanksBefore(const ScanRow& a, const ScanRow& b);
void RankRows(std::vector<ScanRow>& rows);

// The `capacity` largest files offered, in memory of `capacity` rows however
// many files are offered: a heap whose top is the smallest row kept.
class TopFiles {
 public:
  explicit TopFiles(std::size_t capacity) : capacity_(capacity) {}
  // Whether a file of `bytes` could enter; lets the walk skip building the
  // path of the many files that cannot.
  bool Wants(uint64_t bytes) const;
  void Offer(ScanRow row);
  // The rows kept, ranked.
  std::vector<ScanRow> Ranked() const;

 private:
  struct SmallestOnTop {
    bool operator()(const ScanRow& a, const ScanRow& b) const { return RanksBefore(a, b); }
  };
  std::size_t capacity_;
  std::priority_queue<ScanRow, std::vector<ScanRow>, SmallestOnTop> heap_;
};

// Bytes as the details window writes kilobytes: megabytes of 1000 KB of 1024
// bytes, "%.2lf Mb". Computed from 64 bits, so a tree above 4 TB does not
// wrap as a 32-bit kilobyte figure would.
std::string FormatRowMb(uint64_t bytes);
// The row's share of the directory limit, "12.5%"; empty without a limit.
std::string FormatShare(uint64_t bytes, uint64_t limitKb);
// Kilobytes of 1024 bytes, rounded up as du rounds: a 1-byte file is 1 KB.
uint64_t KbOfBytes(uint64_t bytes);

// A name read from the file system as text for one line of a list or of the
// clipboard: control characters (a tab or a line break in a name would
// split the line) become '?', which no Windows name contains.
std::string SafeLineText(const std::string& name);

// Local time of a scan.
struct ScanTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// "dd-MM-yyyy HH:mm:ss".
std::string FormatScanTime(const ScanTime& time);

// The clipboard text, lines ended by CR LF: the watched path, a tab and the
// time of the scan; then per row "folder" or "file", a tab, the size in
// kilobytes, a tab and the relative path.
std::string ClipboardText(const std::string& watchedPath, const ScanTime& time,
                          const std::vector<ScanRow>& rows);

// `text` with %1 to %9 replaced by `values` in order; a placeholder without
// a value stays as it is. Translated texts put the figures where their
// grammar wants them, and no text of the resources is ever a printf format.
std::string FillIn(const std::string& text, const std::vector<std::string>& values);
