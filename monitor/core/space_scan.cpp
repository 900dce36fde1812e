#include "core/space_scan.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

struct Level {
  std::unique_ptr<FolderListing> listing;
  std::string path;
  uint64_t identity = 0;
  // The row of the folder directly under the root that holds this level;
  // -1 at the root.
  long top = -1;
};

bool IsDotName(const std::string& name) { return name == "." || name == ".."; }

// Names that are not one component cannot be joined into a path that means
// what the listing meant; a file system that gives one is answered as a
// folder that could not be read to the end.
bool IsBadName(const std::string& name) {
  return name.empty() || name.find_first_of("\\/") != std::string::npos;
}

bool OnStack(const std::vector<Level>& stack, uint64_t identity) {
  if (identity == 0) return false;
  for (const Level& level : stack) {
    if (level.identity == identity) return true;
  }
  return false;
}

// The identities of the files counted so far: open addressing over 8-byte
// slots (0, no identity, marks a free one), at most half full, so no
// allocation per file in the walk's inner loop.
class CountedFiles {
 public:
  // True the first time `identity` is offered; always for 0 (unknown).
  bool FirstTime(uint64_t identity) {
    if (identity == 0) return true;
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    std::size_t at = SlotOf(identity);
    while (slots_[at] != 0) {
      if (slots_[at] == identity) return false;
      at = (at + 1) & (slots_.size() - 1);
    }
    slots_[at] = identity;
    ++count_;
    return true;
  }

 private:
  // File ids are often consecutive: mix the bits before taking the low ones.
  std::size_t SlotOf(uint64_t identity) const {
    identity ^= identity >> 33;
    identity *= 0xFF51AFD7ED558CCDull;
    identity ^= identity >> 33;
    return static_cast<std::size_t>(identity) & (slots_.size() - 1);
  }
  void Grow() {
    std::vector<uint64_t> old(slots_.empty() ? 512 : slots_.size() * 2, 0);
    old.swap(slots_);
    for (uint64_t identity : old) {
      if (identity == 0) continue;
      std::size_t at = SlotOf(identity);
      while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = identity;
    }
  }

  std::vector<uint64_t> slots_;  // a power of two in size
  std::size_t count_ = 0;
};

class ProgressClock {
 public:
  explicit ProgressClock(ScanObserver* observer) : observer_(observer), last_(Clock::now()) {}
  // Reads the clock only every 64 calls: cheap enough for every name.
  void Tick(const ScanResult& result, const std::string& folder) {
    if (observer_ == nullptr || (++calls_ & 63) != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - last_ < std::chrono::milliseconds(kProgressEveryMs)) return;
    last_ = now;
    observer_->Progress({result.items, result.bytes, folder});
  }

 private:
  ScanObserver* observer_;
  Clock::time_point last_;
  unsigned calls_ = 0;
};

}  // namespace

uint64_t CountedBytes(uint64_t allocated, uint64_t length) {
  if (allocated != 0 || length > kResidentFileBytes) return allocated;
  return length;
}

bool IsSnapshotFolder(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower == "~snapshot" || lower == ".snapshot";
}

ScanResult ScanSpace(FolderSource& source, const std::atomic<bool>& stop, ScanObserver* observer,
                     std::size_t largestFiles) {
  ScanResult result;
  TopFiles files(largestFiles);
  CountedFiles counted;
  ProgressClock clock(observer);
  std::vector<Level> stack;
  {
    Level root;
    root.listing = source.Open("", &root.identity);
    if (root.listing == nullptr) {
      result.rootUnreadable = true;
      return result;
    }
    stack.push_back(std::move(root));
  }
  FolderEntry entry;
  while (!stack.empty()) {
    if (stop.load(std::memory_order_relaxed)) {
      result.partial = true;
      break;
    }
    Level& level = stack.back();
    const FolderListing::Next next = level.listing->Read(&entry);
    if (next != FolderListing::Next::Entry) {
      if (next == FolderListing::Next::Failed) ++result.unreadable;
      stack.pop_back();
      continue;
    }
    if (IsDotName(entry.name)) continue;
    if (IsBadName(entry.name)) {
      ++result.unreadable;
      stack.pop_back();
      continue;
    }
    ++result.items;
    clock.Tick(result, level.path);
    if (entry.link) {
      ++result.notFollowed;
      continue;
    }
    const bool atRoot = stack.size() == 1;
    if (!entry.folder) {
      const uint64_t bytes = CountedBytes(entry.bytes, entry.length);
      // A file without bytes need not be remembered: its other links add nothing.
      if (bytes != 0 && !counted.FirstTime(entry.identity)) continue;
      result.bytes += bytes;
      if (level.top >= 0) result.folders[static_cast<std::size_t>(level.top)].bytes += bytes;
      if (files.Wants(bytes)) {
        files.Offer({atRoot ? entry.name : level.path + "\\" + entry.name, bytes, false});
      }
      continue;
    }
    if (IsSnapshotFolder(entry.name)) {
      ++result.snapshots;
      continue;
    }
    std::string path = atRoot ? entry.name : level.path + "\\" + entry.name;
    long top = level.top;
    if (atRoot) {
      result.folders.push_back({path, 0, true});
      top = static_cast<long>(result.folders.size() - 1);
    }
    if (stack.size() >= kMaxScanDepth) {
      ++result.unreadable;
      continue;
    }
    Level child;
    child.listing = source.Open(path, &child.identity);
    if (child.listing == nullptr) {
      ++result.unreadable;
      continue;
    }
    if (child.identity == 0) child.identity = entry.identity;
    if (OnStack(stack, child.identity)) {
      // A folder that holds itself: a link the system did not report as one.
      ++result.notFollowed;
      if (atRoot) result.folders.pop_back();
      continue;
    }
    child.path = std::move(path);
    child.top = top;
    stack.push_back(std::move(child));
  }
  RankRows(result.folders);
  result.files = files.Ranked();
  return result;
}
