#include <windows.h>
#include <gtest/gtest.h>
TEST(Harness, RunsUnderWineWithADisplay) {
  EXPECT_NE(nullptr, GetDesktopWindow());
  char lang[16]; GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNAME, lang, sizeof lang);
  printf("ui lang %04x user %s\n", GetUserDefaultUILanguage(), lang);
}
