#include "core/largest_items.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "case_name.h"
#include "core/space_scan.h"

namespace {

// ---- Ranking, the bounded list, the row and clipboard texts ---------------

std::string Paths(const std::vector<ScanRow>& rows) {
  std::string text;
  for (const ScanRow& row : rows) text += row.path + "=" + std::to_string(row.bytes) + " ";
  return text;
}

std::string TopOf(std::size_t capacity, const std::vector<ScanRow>& offered) {
  TopFiles top(capacity);
  for (const ScanRow& row : offered) {
    if (top.Wants(row.bytes)) top.Offer(row);
  }
  const std::vector<ScanRow> kept = top.Ranked();
  return Paths(kept) + "kept " + std::to_string(kept.size());
}

struct TextCase {
  const char* name;
  std::function<std::string()> actual;
  const char* expected;
};

class CoreLargestItemsText : public testing::TestWithParam<TextCase> {};

TEST_P(CoreLargestItemsText, Reads) { EXPECT_EQ(GetParam().actual(), GetParam().expected); }

const ScanTime kTime{2024, 3, 7, 9, 5, 2};

INSTANTIATE_TEST_SUITE_P(Rows, CoreLargestItemsText, testing::ValuesIn(std::vector<TextCase>{
  {"RankLargestFirstEqualByPath", [] { std::vector<ScanRow> r{{"b", 5}, {"c", 9}, {"a", 5}};
     RankRows(r); return Paths(r); }, "c=9 a=5 b=5 "},
  {"TopKeepsOnlyTheLargest", [] { return TopOf(2, {{"a", 1}, {"b", 7}, {"c", 3}, {"d", 7}}); },
   "b=7 d=7 kept 2"},
  {"TopTieWinsOnPath", [] { return TopOf(1, {{"z", 4}, {"a", 4}}); }, "a=4 kept 1"},
  {"TopOfNothingKeepsNothing", [] { return TopOf(0, {{"a", 1}}); }, "kept 0"},
  {"MbAsTheDetailsWindow", [] { return FormatRowMb(1024 * 1000); }, "1.00 Mb"},
  {"MbOfZero", [] { return FormatRowMb(0); }, "0.00 Mb"},
  {"MbAbove4Tb", [] { return FormatRowMb(5ull << 40); }, "5368709.12 Mb"},
  {"ShareOfTheLimit", [] { return FormatShare(512 * 1024, 4096); }, "12.5%"},
  {"NoShareWithoutLimit", [] { return FormatShare(512 * 1024, 0); }, ""},
  {"KbRoundsUp", [] { return std::to_string(KbOfBytes(1)) + std::to_string(KbOfBytes(2048)); },
   "12"},
  {"ControlCharactersInNames", [] { return SafeLineText("a\tb\nc\x7f" "d"); }, "a?b?c?d"},
  {"FillInPlacesValues", [] { return FillIn("%2 of %1, %3%", {"a", "b"}); }, "b of a, %3%"},
  {"TimeDayFirst", [] { return FormatScanTime(kTime); }, "07-03-2024 09:05:02"},
  {"Clipboard", [] { return ClipboardText("H:\\", kTime, {{"Docs", 3072, true},
     {"Docs\\x.iso", 1025, false}}); },
   "H:\\\t07-03-2024 09:05:02\r\nfolder\t3\tDocs\r\nfile\t2\tDocs\\x.iso\r\n"},
}), CaseName());

// ---- The walk over a tree in memory ---------------------------------------

// Folders by relative path; a folder missing from the map cannot be opened;
// a name "!" makes its listing fail there, as a drive that went away.
struct FakeTree : FolderSource {
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::map<std::string, uint64_t> identities;
  std::size_t maxOpen = 0, open = 0;
  struct Listing : FolderListing {
    FakeTree* tree; const std::vector<FolderEntry>* entries; std::size_t next = 0;
    ~Listing() override { --tree->open; }
    Next Read(FolderEntry* e) override {
      if (next == entries->size()) return Next::End;
      *e = (*entries)[next++];
      return e->name == "!" ? Next::Failed : Next::Entry;
    }
  };
  std::unique_ptr<FolderListing> Open(const std::string& path, uint64_t* id) override {
    auto found = folders.find(path);
    if (found == folders.end()) return nullptr;
    *id = identities.count(path) ? identities[path] : 0;
    auto listing = std::make_unique<Listing>();
    listing->tree = this; listing->entries = &found->second;
    if (++open > maxOpen) maxOpen = open;
    return listing;
  }
};

FolderEntry Dir(const char* name) { return {name, 0, true, false}; }
FolderEntry File(const char* name, uint64_t bytes) { return {name, bytes, false, false}; }

TEST(CoreSpaceScan, SumsTreesSkipsLinksLoopsAndSnapshotsAndCountsFailures) {
  FakeTree t;
  t.folders[""] = {Dir("."), Dir(".."), Dir("A"), Dir("B"), Dir("~snapshot"), Dir("Locked"),
                   File("top.bin", 10), {"junction", 0, true, true}};
  t.folders["A"] = {File("a1", 100), Dir("deep"), Dir("up")};
  t.folders["A\\deep"] = {File("a2", 50)};
  t.folders["A\\up"] = {File("never", 1)};  // a link to A that the system hid
  t.identities = {{"", 1}, {"A", 2}, {"A\\up", 2}};
  t.folders["B"] = {File("b1", 300), {"!", 0, false, false}, File("lost", 7)};
  t.folders["~snapshot"] = {File("old", 999)};
  std::atomic<bool> stop{false};
  const ScanResult r = ScanSpace(t, stop, nullptr, 2);
  EXPECT_EQ(Paths(r.folders), "B=300 A=150 Locked=0 ");
  EXPECT_EQ(Paths(r.files), "B\\b1=300 A\\a1=100 ");
  EXPECT_EQ(r.bytes, 460u);
  EXPECT_EQ(r.unreadable, 2u);   // Locked, and B's listing that failed
  EXPECT_EQ(r.notFollowed, 2u);  // the junction and the hidden loop
  EXPECT_EQ(r.snapshots, 1u);
  EXPECT_FALSE(r.partial);
  EXPECT_EQ(t.maxOpen, 3u);  // one listing per level
  EXPECT_EQ(t.open, 0u);
}

// What counts: a file once however many links it has (in the folder met
// first), its allocation, and its length only where nothing is allocated and
// it fits a file record.
FolderEntry Linked(const char* name, uint64_t bytes, uint64_t id) { return {name, bytes, false, false, id}; }
FolderEntry Unallocated(const char* name, uint64_t length) { return {name, 0, false, false, 0, length}; }

struct CountCase {
  const char* name;
  std::map<std::string, std::vector<FolderEntry>> folders;
  const char* counted;  // folders | files | total
};

class CoreSpaceScanCounts : public testing::TestWithParam<CountCase> {};

TEST_P(CoreSpaceScanCounts, AsAQuotaChargesThem) {
  FakeTree t;
  t.folders = GetParam().folders;
  std::atomic<bool> stop{false};
  const ScanResult r = ScanSpace(t, stop, nullptr);
  EXPECT_EQ(Paths(r.folders) + "| " + Paths(r.files) + "| " + std::to_string(r.bytes),
            GetParam().counted);
}

constexpr uint64_t k10Mb = 10u << 20;

INSTANTIATE_TEST_SUITE_P(Files, CoreSpaceScanCounts, testing::ValuesIn(std::vector<CountCase>{
  {"HardLinkInTwoFolders", {{"", {Dir("A"), Dir("B")}}, {"A", {Linked("x", k10Mb, 7)}},
     {"B", {Linked("x2", k10Mb, 7), Linked("y", 4096, 8)}}},
   "A=10485760 B=4096 | A\\x=10485760 B\\y=4096 | 10489856"},
  {"HardLinksInOneFolder", {{"", {Linked("a", 8192, 3), Dir("D")}},
     {"D", {Linked("b", 8192, 3), Linked("c", 8192, 3)}}}, "D=0 | a=8192 | 8192"},
  {"UnknownIdentitiesCountEachTime", {{"", {File("a", 4096), File("b", 4096)}}},
   "| a=4096 b=4096 | 8192"},
  {"SparseFileHoldingNothing", {{"", {Unallocated("sparse.vhd", 50000000)}}},
   "| sparse.vhd=0 | 0"},
  {"TinyResidentFile", {{"", {Unallocated("tiny.ini", 100)}}}, "| tiny.ini=100 | 100"},
  {"LongestResidentFile", {{"", {Unallocated("a", 4096), Unallocated("b", 4097)}}},
   "| a=4096 b=0 | 4096"},
  {"AllocationOverLength", {{"", {FolderEntry{"a", 8192, false, false, 0, 100}}}},
   "| a=8192 | 8192"}}), CaseName());

TEST(CoreSpaceScan, AnswersAnUnreadableRootAndAStopAtOnce) {
  FakeTree none;
  std::atomic<bool> stop{false};
  EXPECT_TRUE(ScanSpace(none, stop, nullptr).rootUnreadable);
  FakeTree t;
  t.folders[""] = {File("a", 1)};
  stop = true;
  const ScanResult r = ScanSpace(t, stop, nullptr);
  EXPECT_TRUE(r.partial);
  EXPECT_EQ(r.items, 0u);
}

}  // namespace
