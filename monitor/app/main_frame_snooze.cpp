// The tray menu's "Remind me later": the three snooze lengths, and while a
// snooze runs the line that says until when and the command that ends it.
// The snooze's end is judged at the polls, so it costs no timer.
#include <windows.h>

#include <ctime>
#include <string>

#include "app/main_frame.h"
#include "app/notice_clock.h"
#include "resources/resource.h"

namespace {

// The lengths come first in the sub-menu; the separator, the snooze line and
// the command that ends the snooze follow only while a snooze runs.
constexpr int kSnoozeChoices = 3;

std::string MenuText(HMENU menu, UINT id) {
  char text[256] = "";
  GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
  return text;
}

// The weekday and the time of day in the user's format ("Thu 08:00").
std::string LocalEndText(std::int64_t end) {
  const std::time_t at = static_cast<std::time_t>(end);
  const std::tm* local = std::localtime(&at);
  if (local == nullptr) return std::string();
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(local->tm_year + 1900);
  time.wMonth = static_cast<WORD>(local->tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(local->tm_wday);
  time.wDay = static_cast<WORD>(local->tm_mday);
  time.wHour = static_cast<WORD>(local->tm_hour);
  time.wMinute = static_cast<WORD>(local->tm_min);
  char day[64] = "";
  char clock[64] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, "ddd", day, sizeof day);
  GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
  return std::string(day) + " " + clock;
}

// The template's first "%s" replaced; the resource text is never a format.
std::string WithEnd(const std::string& line, const std::string& end) {
  const std::size_t at = line.find("%s");
  if (at == std::string::npos) return line + " " + end;
  return line.substr(0, at) + end + line.substr(at + 2);
}

}  // namespace

bool CMainFrame::OnSnoozeCommand(UINT id) {
  const std::int64_t now = NoticeClockNow();
  switch (id) {
    case ID_SNOOZE_HOUR:
      notices.Snooze(now, now + kSnoozeHourSeconds);
      break;
    case ID_SNOOZE_FOUR_HOURS:
      notices.Snooze(now, now + kSnoozeFourHoursSeconds);
      break;
    case ID_SNOOZE_MORNING:
      notices.Snooze(now, NextMorning(static_cast<std::time_t>(now)));
      break;
    case ID_SNOOZE_RESUME:
      notices.EndSnooze();  // the next poll tells what is owed
      return true;
    default:
      return false;
  }
  trayIcon.WithdrawBalloon();  // the user has answered it
  return true;
}

// Called for every pop-up the frame's menus open; only the snooze sub-menu
// is changed. Its loaded form holds every item, so the texts are read from
// it the first time.
void CMainFrame::ShowSnoozeState(HMENU menu) {
  // By position: a search by command would find the item in the parent too.
  if (menu == nullptr || GetMenuItemID(menu, 0) != ID_SNOOZE_HOUR) {
    return;
  }
  if (snoozeLineTemplate.empty()) {
    snoozeLineTemplate = MenuText(menu, ID_SNOOZE_STATE);
    resumeText = MenuText(menu, ID_SNOOZE_RESUME);
  }
  while (GetMenuItemCount(menu) > kSnoozeChoices) {
    RemoveMenu(menu, kSnoozeChoices, MF_BYPOSITION);
  }
  if (!notices.Snoozed() || notices.SnoozeEnd() <= NoticeClockNow()) {
    return;
  }
  const std::string line = WithEnd(snoozeLineTemplate, LocalEndText(notices.SnoozeEnd()));
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | MF_GRAYED, ID_SNOOZE_STATE, line.c_str());
  AppendMenuA(menu, MF_STRING, ID_SNOOZE_RESUME, resumeText.c_str());
}
