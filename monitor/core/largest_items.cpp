#include "core/largest_items.h"

#include <algorithm>

#include "core/text_format.h"

bool RanksBefore(const ScanRow& a, const ScanRow& b) {
  if (a.bytes != b.bytes) return a.bytes > b.bytes;
  return a.path < b.path;
}

void RankRows(std::vector<ScanRow>& rows) { std::sort(rows.begin(), rows.end(), RanksBefore); }

bool TopFiles::Wants(uint64_t bytes) const {
  if (capacity_ == 0) return false;
  // An equal size may still win on its path.
  return heap_.size() < capacity_ || bytes >= heap_.top().bytes;
}

void TopFiles::Offer(ScanRow row) {
  if (capacity_ == 0) return;
  if (heap_.size() < capacity_) {
    heap_.push(std::move(row));
  } else if (RanksBefore(row, heap_.top())) {
    heap_.pop();
    heap_.push(std::move(row));
  }
}

std::vector<ScanRow> TopFiles::Ranked() const {
  auto copy = heap_;
  std::vector<ScanRow> rows;
  rows.reserve(copy.size());
  while (!copy.empty()) {
    rows.push_back(copy.top());
    copy.pop();
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

std::string FormatRowMb(uint64_t bytes) {
  return FormatText("%.2lf Mb", static_cast<double>(bytes) / 1024.0 / 1000.0);
}

std::string FormatShare(uint64_t bytes, uint64_t limitKb) {
  if (limitKb == 0) return "";
  return FormatText("%.1lf%%",
                    static_cast<double>(bytes) / 1024.0 * 100.0 / static_cast<double>(limitKb));
}

uint64_t KbOfBytes(uint64_t bytes) { return bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0); }

std::string SafeLineText(const std::string& name) {
  std::string text = name;
  for (char& c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '?';
  }
  return text;
}

std::string FormatScanTime(const ScanTime& t) {
  return FormatText("%02d-%02d-%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                    t.second);
}

std::string ClipboardText(const std::string& watchedPath, const ScanTime& time,
                          const std::vector<ScanRow>& rows) {
  std::string text = SafeLineText(watchedPath) + "\t" + FormatScanTime(time) + "\r\n";
  for (const ScanRow& row : rows) {
    text += row.folder ? "folder\t" : "file\t";
    text += std::to_string(KbOfBytes(row.bytes)) + "\t" + SafeLineText(row.path) + "\r\n";
  }
  return text;
}

std::string FillIn(const std::string& text, const std::vector<std::string>& values) {
  std::string filled;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t index = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : 9;
    if (text[i] == '%' && index < 9 && index < values.size()) {
      filled += values[index];
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}
