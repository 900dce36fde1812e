// The walk that finds what uses the space under the watched path: every
// folder and file once, depth first, with one open listing per level of the
// tree, so memory follows the depth of the tree and the rows kept, plus 8 to
// 16 bytes per file that holds space: its identity, so that a file with
// several hard links counts once (a listing does not say how many links a
// file has). The file system itself is behind FolderSource (the
// Windows one is ui/largest_items_folders_win.cpp), so the walk is portable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/largest_items.h"

// One name of a folder listing.
struct FolderEntry {
  std::string name;    // UTF-8, as the file system gives it
  uint64_t bytes = 0;  // allocated on the disk, as the listing reports it
  bool folder = false;
  bool link = false;  // a link, junction or other reparse point: never entered
  // What tells this name's folder or file from every other one on its
  // volume, where the listing says (0 when it does not); see
  // FolderSource::Open. All the links of one file share it.
  uint64_t identity = 0;
  uint64_t length = 0;  // a file's length; see CountedBytes
};

// What a file takes on the disk, as a quota charges it: its allocation. Its
// length counts only where nothing is allocated and the length is at most
// kResidentFileBytes, a file whose data lives in its record in the file
// system's table (NTFS file records are 1 or 4 KB). A sparse or offline file
// with nothing allocated counts 0, whatever its length.
constexpr uint64_t kResidentFileBytes = 4096;
uint64_t CountedBytes(uint64_t allocated, uint64_t length);

class FolderListing {
 public:
  enum class Next { Entry, End, Failed };
  virtual ~FolderListing() = default;
  // The next name ("." and ".." included, the walk skips them); Failed when
  // the folder stops answering (a drive gone, a folder removed meanwhile).
  virtual Next Read(FolderEntry* entry) = 0;
};

class FolderSource {
 public:
  virtual ~FolderSource() = default;
  // Opens the folder at `relative` ("" is the watched path itself); nullptr
  // when it cannot be read. `identity` receives what tells this folder from
  // every other one on its volume (0 when the system has none, or leaves it
  // to the folder's entry in its parent's listing), which is how a link the
  // system does not report as one is still never followed round.
  virtual std::unique_ptr<FolderListing> Open(const std::string& relative, uint64_t* identity) = 0;
};

struct ScanProgress {
  uint64_t items = 0;  // folders and files seen
  uint64_t bytes = 0;  // of the files seen
  std::string folder;  // relative path of the folder being read
};

// A file with several links counts once, in the total and in the folder
// where the walk meets it first (listing order, depth first), as a quota
// charges it once; the list of files shows it under that path only.
struct ScanResult {
  std::vector<ScanRow> folders;  // directly under the watched path, ranked
  std::vector<ScanRow> files;    // the largest files anywhere under it, ranked
  uint64_t items = 0;            // names seen, every link of a file among them
  uint64_t bytes = 0;
  uint32_t unreadable = 0;      // folders that could not be read, or not to the end
  uint32_t notFollowed = 0;     // links, junctions and loops not entered
  uint32_t snapshots = 0;       // snapshot folders skipped
  bool rootUnreadable = false;  // the watched path itself could not be read
  bool partial = false;         // cancelled before the end
};

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  // Called at most every kProgressEveryMs.
  virtual void Progress(const ScanProgress& progress) = 0;
};

constexpr int kProgressEveryMs = 100;
constexpr std::size_t kLargestFiles = 20;
// Deeper folders are counted as unreadable: a bound on the walk's memory
// even where the system hides a loop from the identity check.
constexpr std::size_t kMaxScanDepth = 512;

// Whether `name` is a snapshot folder of a file server (~snapshot, .snapshot).
bool IsSnapshotFolder(const std::string& name);

// Walks everything under the source's root. `stop` is read before every
// name: once set, the walk ends at once and marks the result partial.
ScanResult ScanSpace(FolderSource& source, const std::atomic<bool>& stop, ScanObserver* observer,
                     std::size_t largestFiles = kLargestFiles);
