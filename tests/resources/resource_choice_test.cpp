// The resources a user of one interface language gets through the lookup.
// ctest runs this program once per language, with LANG and LC_ALL set and
// these variables telling what to expect:
//   BRIMLET_TEST_UI_LANGUAGE  the language Wine must report, e.g. 0x0C07
//   BRIMLET_TEST_TEXTS        the block of dialogs and strings, e.g. de-DE
//   BRIMLET_TEST_MENU         the block of the menu, e.g. de-DE
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dialog_template.h"
#include "expected_texts.h"
#include "framework/resource_language.h"
#include "resources/resource.h"

namespace {

using restest::LanguageTexts;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

class ResourceChoice : public testing::Test {
 protected:
  void SetUp() override {
    const std::string ui = Environment("BRIMLET_TEST_UI_LANGUAGE");
    ASSERT_FALSE(ui.empty()) << "run through ctest: BRIMLET_TEST_UI_LANGUAGE is not set";
    // When Wine ignores the locale, every language would silently get English.
    ASSERT_EQ(std::strtoul(ui.c_str(), nullptr, 16), GetUserDefaultUILanguage())
        << "Wine did not take the interface language from LANG/LC_ALL";
    texts_ = restest::Texts(Environment("BRIMLET_TEST_TEXTS"));
    menu_ = restest::Texts(Environment("BRIMLET_TEST_MENU"));
    ASSERT_NE(nullptr, texts_);
    ASSERT_NE(nullptr, menu_);
  }
  const LanguageTexts* texts_ = nullptr;
  const LanguageTexts* menu_ = nullptr;
};

TEST_F(ResourceChoice, StringsComeInTheChosenLanguageAsWindows1252) {
  for (size_t i = 0; i < restest::StringIds().size(); ++i) {
    EXPECT_EQ(restest::Cp1252FromUtf8(texts_->strings[i]),
              fw::LoadResString(restest::StringIds()[i]))
        << "string " << restest::StringIds()[i];
  }
}

TEST_F(ResourceChoice, MissingStringsAreEmpty) {
  EXPECT_EQ("", fw::LoadResString(IDS_PROGRAM_TITLE + 1));  // in a block, not defined
  EXPECT_EQ("", fw::LoadResString(IDS_FREE + 1));
  EXPECT_EQ("", fw::LoadResString(1));  // no such block
}

TEST_F(ResourceChoice, MenuComesInTheChosenLanguage) {
  HMENU menu = fw::LoadResMenu(IDR_TRAY_MENU);
  ASSERT_NE(nullptr, menu);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  for (size_t i = 0; i < restest::MenuCommands().size(); ++i) {
    char text[256] = {};
    GetMenuStringA(popup, restest::MenuCommands()[i], text, sizeof(text), MF_BYCOMMAND);
    EXPECT_EQ(restest::Cp1252FromUtf8(menu_->menu[i]), text);
  }
  DestroyMenu(menu);
}

TEST_F(ResourceChoice, DialogsComeInTheChosenLanguage) {
  struct Case {
    UINT id;
    const std::string& caption;
    int width;
  };
  for (const Case& c : {Case{IDD_ABOUTBOX, texts_->aboutCaption, texts_->aboutWidth},
                        Case{IDD_QUOTA_DETAILS, texts_->detailsCaption, texts_->detailsWidth}}) {
    LPCDLGTEMPLATEA found = fw::FindDialogTemplate(c.id);
    ASSERT_NE(nullptr, found) << "dialog " << c.id;
    // The template handed out must be the block the lookup names.
    HMODULE module = GetModuleHandleA(nullptr);
    LANGID language = fw::ResourceLanguage(module, RT_DIALOG, MAKEINTRESOURCEA(c.id));
    HRSRC info = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(c.id), language);
    ASSERT_NE(nullptr, info);
    ASSERT_EQ(LockResource(LoadResource(module, info)), static_cast<const void*>(found));
    restest::DialogTemplate dialog;
    ASSERT_TRUE(restest::ParseDialogTemplate(found, SizeofResource(module, info), &dialog));
    EXPECT_EQ(c.caption, dialog.caption) << "dialog " << c.id;
    EXPECT_EQ(c.width, dialog.cx) << "dialog " << c.id;
  }
}

TEST_F(ResourceChoice, LookupNamesTheChosenBlock) {
  HMODULE module = GetModuleHandleA(nullptr);
  EXPECT_EQ(texts_->language,
            fw::ResourceLanguage(module, RT_DIALOG, MAKEINTRESOURCEA(IDD_QUOTA_DETAILS)));
  EXPECT_EQ(menu_->language,
            fw::ResourceLanguage(module, RT_MENU, MAKEINTRESOURCEA(IDR_TRAY_MENU)));
  EXPECT_EQ(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
            fw::ResourceLanguage(module, RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_DRIVE)));
}

// The pictures are held once; the platform's own loader must find them for
// every language, the French-tagged cursor included.
TEST_F(ResourceChoice, PicturesLoadInEveryLanguage) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HCURSOR hand = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_LINK));
  ASSERT_NE(nullptr, hand);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(8u, info.xHotspot);
  EXPECT_EQ(3u, info.yHotspot);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  for (WORD id = IDI_DRIVE_OK; id <= IDI_DRIVE_UNKNOWN; ++id) {
    HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    EXPECT_NE(nullptr, icon) << "icon " << id;
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
}

}  // namespace
