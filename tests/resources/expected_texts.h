// What each language block of the program's resources must hold, written out
// independently of the .rc files (texts in UTF-8, compared as Windows-1252).
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace restest {

struct LanguageTexts {
  const char* tag;  // "en-US", ...
  LANGID language;
  std::vector<std::string> strings;  // in the order of StringIds(); empty when none
  std::vector<std::string> menu;     // in the order of MenuCommands()
  // Details window.
  std::string detailsCaption;
  int detailsWidth, detailsHeight;
  bool closeBox;
  bool topmost;
  bool printLinkVisible;
  bool quotaLinkVisible;
  // About box.
  std::string aboutCaption;
  int aboutWidth, aboutHeight;
  std::string aboutFirstLine;
  std::string aboutUsage;  // both lines, as in the template
  // The label beside the server's name: a Novell server in the NetWare
  // builds, a network server in the Windows drive build.
  std::string serverLabel;
};

// Whether this build reads a Windows drive, whose texts never say Novell.
bool WindowsDriveBuild();

// Names the language in test output.
void PrintTo(const LanguageTexts& texts, std::ostream* out);

// The string ids in the order of LanguageTexts::strings: the program's title,
// the three tooltip words and the four status sentences between "on" and
// "free" (IDS_PROGRAM_TITLE, IDS_DISK_SPACE_USED, IDS_ON, IDS_STATUS_OK ...
// IDS_STATUS_UNKNOWN, IDS_FREE).
const std::vector<UINT>& StringIds();

// The menu commands in the order of LanguageTexts::menu: the details
// command, the "what uses the space" command, About and Exit.
const std::vector<UINT>& MenuCommands();

// The "Remind me later" sub-menu of `texts`' menu: its title, the three
// snooze lengths, the snooze line with its "%s" and the command that ends it.
std::vector<std::string> SnoozeMenu(const LanguageTexts& texts);

// The languages of this build's menu; the first four also have dialogs and
// strings, except in the reduced-languages build where only the first does.
const std::vector<LanguageTexts>& MenuLanguages();
const std::vector<LanguageTexts>& DialogLanguages();

// The entry for `tag`, or nullptr.
const LanguageTexts* Texts(const std::string& tag);

}  // namespace restest
