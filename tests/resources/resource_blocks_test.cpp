// Every language block of the program's resources, read directly whatever the
// user's language: which blocks exist, their texts, and the dialog layouts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "expected_texts.h"
#include "resources/resource.h"

namespace {

using restest::DialogItem;
using restest::DialogTemplate;
using restest::LanguageTexts;

std::vector<LANGID> Sorted(std::vector<LANGID> languages) {
  std::sort(languages.begin(), languages.end());
  return languages;
}

std::vector<LANGID> LanguagesOf(const std::vector<LanguageTexts>& texts) {
  std::vector<LANGID> languages;
  for (const LanguageTexts& t : texts) languages.push_back(t.language);
  return Sorted(languages);
}

// String `id` of exactly `language`, in UTF-8; `found` tells whether the
// block exists and holds a non-empty entry.
std::string StringOfLanguage(UINT id, LANGID language, bool* found) {
  const std::wstring stored = restest::StoredString(id, language);
  *found = !stored.empty();
  return restest::Utf8FromWide(stored.data(), stored.size());
}

// ---- Which language blocks exist -------------------------------------------

struct BlockCase {
  const char* name;
  LPCSTR type;
  WORD id;
  bool dialogsAndStrings;  // else the menu's set of languages
};

void PrintTo(const BlockCase& c, std::ostream* out) { *out << c.name; }

class LanguageBlocks : public testing::TestWithParam<BlockCase> {};

TEST_P(LanguageBlocks, ExistInExactlyTheBuildsLanguages) {
  const BlockCase& c = GetParam();
  const auto& expected =
      c.dialogsAndStrings ? restest::DialogLanguages() : restest::MenuLanguages();
  EXPECT_EQ(LanguagesOf(expected), Sorted(restest::ResourceLanguages(c.type, c.id)));
}

INSTANTIATE_TEST_SUITE_P(
    Resources, LanguageBlocks,
    testing::Values(BlockCase{"TrayMenu", RT_MENU, IDR_TRAY_MENU, false},
                    BlockCase{"AboutBox", RT_DIALOG, IDD_ABOUTBOX, true},
                    BlockCase{"DetailsWindow", RT_DIALOG, IDD_QUOTA_DETAILS, true},
                    BlockCase{"ProgramTitleBlock", RT_STRING, IDS_PROGRAM_TITLE / 16 + 1, true},
                    BlockCase{"StatusTextBlock", RT_STRING, IDS_DISK_SPACE_USED / 16 + 1, true}),
    [](const testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

TEST(PictureBlocks, IconsAreLanguageNeutral) {
  for (WORD id = IDI_DRIVE_OK; id <= IDI_DRIVE_UNKNOWN; ++id) {
    EXPECT_EQ(std::vector<LANGID>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)},
              restest::ResourceLanguages(RT_GROUP_ICON, id))
        << "icon " << id;
  }
}

TEST(PictureBlocks, HandCursorIsOneFrenchVariant) {
  EXPECT_EQ(std::vector<LANGID>{MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
            restest::ResourceLanguages(RT_GROUP_CURSOR, IDC_HAND_LINK));
}

// ---- Strings and menus of every block --------------------------------------

class LanguageTextsTest : public testing::TestWithParam<LanguageTexts> {};

class StringTable : public LanguageTextsTest {};

TEST_P(StringTable, HoldsEveryStringExactly) {
  const LanguageTexts& texts = GetParam();
  for (size_t i = 0; i < restest::StringIds().size(); ++i) {
    bool found = false;
    std::string text = StringOfLanguage(restest::StringIds()[i], texts.language, &found);
    EXPECT_TRUE(found) << texts.tag << " string " << restest::StringIds()[i];
    EXPECT_EQ(texts.strings[i], text) << texts.tag << " string " << restest::StringIds()[i];
  }
}

TEST_P(StringTable, HoldsNoOtherStringInItsBlocks) {
  const LanguageTexts& texts = GetParam();
  for (UINT id = IDS_PROGRAM_TITLE; id < IDS_DISK_SPACE_USED + 16; ++id) {
    const auto& ids = restest::StringIds();
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) continue;
    bool found = false;
    StringOfLanguage(id, texts.language, &found);
    EXPECT_FALSE(found) << texts.tag << " string " << id;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, StringTable, testing::ValuesIn(restest::DialogLanguages()),
                         [](const testing::TestParamInfo<LanguageTexts>& info) {
                           return std::string(info.param.tag).erase(2, 1);
                         });

class TrayMenu : public LanguageTextsTest {};

TEST_P(TrayMenu, HoldsOnePopupWithTheCommandsAndSeparators) {
  const LanguageTexts& texts = GetParam();
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_MENU, MAKEINTRESOURCEA(IDR_TRAY_MENU), texts.language);
  ASSERT_NE(nullptr, info);
  HMENU menu = LoadMenuIndirectA(LockResource(LoadResource(module, info)));
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(1, GetMenuItemCount(menu));
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  ASSERT_EQ(7, GetMenuItemCount(popup));
  constexpr UINT kSnooze = 1;  // the "Remind me later" sub-menu
  const UINT expectedIds[] = {ID_QUOTA_DETAILS, ID_LARGEST_ITEMS, kSnooze, 0,
                              ID_APP_ABOUT,     0,                ID_APP_EXIT};
  const std::vector<std::string> snooze = restest::SnoozeMenu(texts);
  size_t command = 0;
  for (int position = 0; position < 7; ++position) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &item));
    const bool separator = expectedIds[position] == 0;
    EXPECT_EQ(separator, (item.fType & MFT_SEPARATOR) != 0) << texts.tag << " item " << position;
    if (separator) continue;
    char text[256] = {};
    GetMenuStringA(popup, position, text, sizeof(text), MF_BYPOSITION);
    if (expectedIds[position] == kSnooze) {
      ASSERT_NE(nullptr, item.hSubMenu) << texts.tag;
      EXPECT_EQ(restest::Cp1252FromUtf8(snooze[0]), text) << texts.tag;
      continue;
    }
    EXPECT_EQ(expectedIds[position], item.wID);
    EXPECT_EQ(restest::Cp1252FromUtf8(texts.menu[command++]), text) << texts.tag;
  }
  DestroyMenu(menu);
}

// The snooze lengths, then a separator, the snooze line (grayed: it is read,
// never chosen) and the command that ends a snooze.
TEST_P(TrayMenu, OffersTheSnoozeLengthsInItsLanguage) {
  const LanguageTexts& texts = GetParam();
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_MENU, MAKEINTRESOURCEA(IDR_TRAY_MENU), texts.language);
  ASSERT_NE(nullptr, info);
  HMENU menu = LoadMenuIndirectA(LockResource(LoadResource(module, info)));
  ASSERT_NE(nullptr, menu);
  HMENU snoozeMenu = GetSubMenu(GetSubMenu(menu, 0), 2);
  ASSERT_NE(nullptr, snoozeMenu);
  const UINT ids[] = {ID_SNOOZE_HOUR, ID_SNOOZE_FOUR_HOURS, ID_SNOOZE_MORNING, 0,
                      ID_SNOOZE_STATE, ID_SNOOZE_RESUME};
  const std::vector<std::string> snooze = restest::SnoozeMenu(texts);
  ASSERT_EQ(6, GetMenuItemCount(snoozeMenu));
  size_t text = 1;
  for (int position = 0; position < 6; ++position) {
    if (ids[position] == 0) {
      EXPECT_EQ(0u, GetMenuItemID(snoozeMenu, position)) << texts.tag;
      continue;
    }
    EXPECT_EQ(ids[position], GetMenuItemID(snoozeMenu, position)) << texts.tag;
    char shown[256] = {};
    GetMenuStringA(snoozeMenu, position, shown, sizeof(shown), MF_BYPOSITION);
    EXPECT_EQ(restest::Cp1252FromUtf8(snooze[text++]), shown) << texts.tag;
    const bool grayed = (GetMenuState(snoozeMenu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
    EXPECT_EQ(ids[position] == ID_SNOOZE_STATE, grayed) << texts.tag << " item " << position;
  }
  DestroyMenu(menu);
}

INSTANTIATE_TEST_SUITE_P(Languages, TrayMenu, testing::ValuesIn(restest::MenuLanguages()),
                         [](const testing::TestParamInfo<LanguageTexts>& info) {
                           return std::string(info.param.tag).erase(2, 1);
                         });

// ---- Dialog templates of every block ---------------------------------------

struct DialogCase {
  LanguageTexts texts;
  WORD id;
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.texts.tag << " dialog " << c.id; }

std::vector<DialogCase> DialogCases() {
  std::vector<DialogCase> cases;
  for (const LanguageTexts& texts : restest::DialogLanguages()) {
    cases.push_back({texts, IDD_ABOUTBOX});
    cases.push_back({texts, IDD_QUOTA_DETAILS});
  }
  return cases;
}

std::string DialogCaseName(const testing::TestParamInfo<DialogCase>& info) {
  return std::string(info.param.texts.tag).erase(2, 1) +
         (info.param.id == IDD_ABOUTBOX ? "About" : "Details");
}

class DialogFrame : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogFrame, IsAHiddenModalFramePopupAtTheOriginInMsSansSerif) {
  DialogTemplate dialog;
  ASSERT_TRUE(restest::LoadDialogTemplate(GetParam().id, GetParam().texts.language, &dialog));
  const DWORD needed = DS_MODALFRAME | WS_POPUP | WS_CAPTION;
  EXPECT_EQ(needed, dialog.style & needed);
  EXPECT_EQ(0u, dialog.style & (WS_VISIBLE | DS_CENTER));
  EXPECT_EQ(0, dialog.x);
  EXPECT_EQ(0, dialog.y);
  EXPECT_EQ("MS Sans Serif", dialog.fontName);
  EXPECT_EQ(8, dialog.fontSize);
}

TEST_P(DialogFrame, HasTheLanguagesSizeCaptionAndCloseBox) {
  const LanguageTexts& texts = GetParam().texts;
  DialogTemplate dialog;
  ASSERT_TRUE(restest::LoadDialogTemplate(GetParam().id, texts.language, &dialog));
  const bool about = GetParam().id == IDD_ABOUTBOX;
  EXPECT_EQ(about ? texts.aboutWidth : texts.detailsWidth, dialog.cx);
  EXPECT_EQ(about ? texts.aboutHeight : texts.detailsHeight, dialog.cy);
  EXPECT_EQ(about ? texts.aboutCaption : texts.detailsCaption, dialog.caption);
  // The About box always has its close box and never stays on top.
  EXPECT_EQ(about || texts.closeBox, (dialog.style & WS_SYSMENU) != 0);
  EXPECT_EQ(!about && texts.topmost, (dialog.exStyle & WS_EX_TOPMOST) != 0);
}

// The NetWare builds name Novell in every dialog of every language; the
// Windows drive build, which may watch any server, in none.
TEST_P(DialogFrame, SpeaksOfNovellOnlyInTheNetWareBuilds) {
  DialogTemplate dialog;
  ASSERT_TRUE(restest::LoadDialogTemplate(GetParam().id, GetParam().texts.language, &dialog));
  std::vector<std::string> novell;
  if (dialog.caption.find("Novell") != std::string::npos) novell.push_back(dialog.caption);
  for (const DialogItem& item : dialog.items) {
    if (item.text.text.find("Novell") != std::string::npos) novell.push_back(item.text.text);
  }
  if (restest::WindowsDriveBuild()) {
    EXPECT_TRUE(novell.empty()) << "first: " << (novell.empty() ? "" : novell[0]);
  } else {
    EXPECT_FALSE(novell.empty());
  }
}

TEST_P(DialogFrame, KeepsEveryControlInsideTheWindow) {
  DialogTemplate dialog;
  ASSERT_TRUE(restest::LoadDialogTemplate(GetParam().id, GetParam().texts.language, &dialog));
  for (const DialogItem& item : dialog.items) {
    EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.x + item.cx <= dialog.cx &&
                item.y + item.cy <= dialog.cy)
        << "control " << item.id << " \"" << item.text.text << "\" at " << item.x << "," << item.y
        << " size " << item.cx << "x" << item.cy;
  }
}

// The English layout is given as it is; the other languages' layouts are
// ours and must not let visible controls overlap (group boxes aside).
TEST_P(DialogFrame, TranslatedLayoutsDoNotOverlap) {
  const LanguageTexts& texts = GetParam().texts;
  if (texts.language == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) GTEST_SKIP();
  DialogTemplate dialog;
  ASSERT_TRUE(restest::LoadDialogTemplate(GetParam().id, texts.language, &dialog));
  std::vector<const DialogItem*> shown;
  for (const DialogItem& item : dialog.items) {
    const bool group = item.className == "button" && (item.style & 0xF) == BS_GROUPBOX;
    if ((item.style & WS_VISIBLE) && !group) shown.push_back(&item);
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const DialogItem& a = *shown[i];
      const DialogItem& b = *shown[j];
      const bool apart =
          a.x + a.cx <= b.x || b.x + b.cx <= a.x || a.y + a.cy <= b.y || b.y + b.cy <= a.y;
      EXPECT_TRUE(apart) << texts.tag << ": \"" << a.text.text << "\" overlaps \"" << b.text.text
                         << "\"";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogFrame, testing::ValuesIn(DialogCases()), DialogCaseName);

// ---- The details window's controls ----------------------------------------

class DetailsControls : public testing::TestWithParam<LanguageTexts> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(restest::LoadDialogTemplate(IDD_QUOTA_DETAILS, GetParam().language, &dialog_));
  }
  DialogTemplate dialog_;
};

TEST_P(DetailsControls, NamesTheServerAsThisBuildReadsIt) {
  int found = 0;
  for (const DialogItem& item : dialog_.items) {
    if (item.id == -1 && item.text.text == GetParam().serverLabel) ++found;
  }
  EXPECT_EQ(1, found) << "expected \"" << GetParam().serverLabel << "\"";
}

TEST_P(DetailsControls, HasEveryNumberedControlOnceWithItsKind) {
  struct Expected {
    int id;
    const char* className;
  };
  const Expected expected[] = {
      {IDOK, "button"},
      {IDC_PERCENT_BAR, "msctls_progress32"},
      {IDC_STATUS_TEXT, "static"},
      {IDC_AUTO_SHOW, "button"},
      {IDC_BALANCE, "static"},
      {IDC_LOW_LIMIT, "static"},
      {IDC_PRINT_HELP_LINK, "static"},
      {IDC_QUOTA_HELP_LINK, "static"},
      {IDC_LOGIN_NAME, "static"},
      {IDC_SERVER_NAME, "static"},
      {IDC_SERVER_PATH, "static"},
      {IDC_VOL_USED, "static"},
      {IDC_VOL_LIMIT, "static"},
      {IDC_DIR_USED, "static"},
      {IDC_DIR_LIMIT, "static"},
      {IDC_PERCENT_TEXT, "static"},
      {IDC_PARAMETER_LINE, "static"},
      {IDC_WATCHED_PATH, "static"},
      {IDC_DIR_FREE, "static"},
      {IDC_VOL_FREE, "static"},
  };
  for (const Expected& e : expected) {
    int count = 0;
    for (const DialogItem& item : dialog_.items) {
      if (item.id != e.id) continue;
      ++count;
      EXPECT_EQ(e.className, item.className) << GetParam().tag << " control " << e.id;
    }
    EXPECT_EQ(1, count) << GetParam().tag << " control " << e.id;
  }
}

TEST_P(DetailsControls, ButtonsAreTheDefaultOkAndAnAutomaticCheckBox) {
  const DialogItem* ok = dialog_.Find(IDOK);
  ASSERT_NE(nullptr, ok);
  EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), ok->style & 0xF);
  const DialogItem* check = dialog_.Find(IDC_AUTO_SHOW);
  ASSERT_NE(nullptr, check);
  EXPECT_EQ(static_cast<DWORD>(BS_AUTOCHECKBOX), check->style & 0xF);
}

TEST_P(DetailsControls, ProgressBarIsSmoothAndBordered) {
  const DialogItem* bar = dialog_.Find(IDC_PERCENT_BAR);
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(static_cast<DWORD>(PBS_SMOOTH | WS_BORDER | WS_VISIBLE),
            bar->style & (PBS_SMOOTH | WS_BORDER | WS_VISIBLE));
}

TEST_P(DetailsControls, HelpLinksAreShownOnlyWhereTheLanguageWantsThem) {
  const DialogItem* print = dialog_.Find(IDC_PRINT_HELP_LINK);
  const DialogItem* quota = dialog_.Find(IDC_QUOTA_HELP_LINK);
  ASSERT_NE(nullptr, print);
  ASSERT_NE(nullptr, quota);
  EXPECT_EQ(GetParam().printLinkVisible, (print->style & WS_VISIBLE) != 0);
  EXPECT_EQ(GetParam().quotaLinkVisible, (quota->style & WS_VISIBLE) != 0);
}

TEST_P(DetailsControls, HasThreeTickMarksUnderTheBar) {
  const DialogItem* bar = dialog_.Find(IDC_PERCENT_BAR);
  ASSERT_NE(nullptr, bar);
  std::vector<int> ticks;
  for (const DialogItem& item : dialog_.items) {
    if (item.text.text == "|") {
      EXPECT_EQ(bar->y + bar->cy, item.y);
      ticks.push_back(item.x);
    }
  }
  ASSERT_EQ(3u, ticks.size());
  std::sort(ticks.begin(), ticks.end());
  for (int quarter = 1; quarter <= 3; ++quarter) {
    // The mark's stroke lies a unit or two right of the control's left edge.
    EXPECT_NEAR(bar->x + bar->cx * quarter / 4.0, ticks[quarter - 1] + 2, 2.0)
        << GetParam().tag << " tick " << quarter;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, DetailsControls, testing::ValuesIn(restest::DialogLanguages()),
                         [](const testing::TestParamInfo<LanguageTexts>& info) {
                           return std::string(info.param.tag).erase(2, 1);
                         });

// ---- The About box's content ------------------------------------------------

class AboutBox : public testing::TestWithParam<LanguageTexts> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(restest::LoadDialogTemplate(IDD_ABOUTBOX, GetParam().language, &dialog_));
  }
  DialogTemplate dialog_;
};

TEST_P(AboutBox, ShowsTheThreeIconsDownTheLeftSide) {
  std::vector<int> icons;
  for (const DialogItem& item : dialog_.items) {
    if (item.className != "static" || (item.style & 0x1F) != SS_ICON) continue;
    ASSERT_TRUE(item.text.isOrdinal);
    icons.push_back(item.text.ordinal);
    EXPECT_EQ(20, item.cx);
    EXPECT_EQ(20, item.cy);
    EXPECT_LT(item.x, 20);
  }
  std::sort(icons.begin(), icons.end());
  EXPECT_EQ((std::vector<int>{IDI_DRIVE_OK, IDI_DRIVE_WARNING, IDI_DRIVE_DANGER}), icons);
}

TEST_P(AboutBox, TextBlockStartsWithTheVersionWithoutPrefixCharacters) {
  const DialogItem* block = nullptr;
  for (const DialogItem& item : dialog_.items) {
    if (item.text.text.rfind("Brimlet 1.5", 0) == 0) block = &item;
  }
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(GetParam().aboutFirstLine + "\n",
            block->text.text.substr(0, block->text.text.find('\n') + 1));
  EXPECT_NE(0u, block->style & SS_NOPREFIX);
}

TEST_P(AboutBox, UsageTextCarriesTheBuildsExample) {
  int found = 0;
  for (const DialogItem& item : dialog_.items) {
    if (item.text.text == GetParam().aboutUsage) ++found;
  }
  EXPECT_EQ(1, found) << "expected \"" << GetParam().aboutUsage << "\"";
}

TEST_P(AboutBox, HasADefaultOkButton) {
  const DialogItem* ok = dialog_.Find(IDOK);
  ASSERT_NE(nullptr, ok);
  EXPECT_EQ("OK", ok->text.text);
  EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), ok->style & 0xF);
}

INSTANTIATE_TEST_SUITE_P(Languages, AboutBox, testing::ValuesIn(restest::DialogLanguages()),
                         [](const testing::TestParamInfo<LanguageTexts>& info) {
                           return std::string(info.param.tag).erase(2, 1);
                         });

// ---- The template reader itself ---------------------------------------------

TEST(DialogTemplateReader, RefusesEveryTruncatedTemplate) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUTBOX),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(nullptr, info);
  const void* data = LockResource(LoadResource(module, info));
  const size_t size = SizeofResource(module, info);
  DialogTemplate whole;
  ASSERT_TRUE(restest::ParseDialogTemplate(data, size, &whole));
  // The last item's creation-data count is the final word: any shorter
  // buffer must fail instead of reading past its end.
  for (size_t cut = 0; cut + 1 < size; cut += 7) {
    DialogTemplate part;
    EXPECT_FALSE(restest::ParseDialogTemplate(data, cut, &part)) << "cut at " << cut;
  }
}

}  // namespace
