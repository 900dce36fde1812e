// The monitor's alert text, "Danger,user1,100%,0.00 Mb free,48.83 Mb max",
// taken apart where it has exactly that form, for the journal's fields and
// for the report.
#pragma once

#include <string>
#include <string_view>

enum class AlertLevel { Warning, Danger };

// The fields of an alert in the monitor's exact form. The figures stay the
// text the monitor wrote ("100", "0.00"): they are only ever shown again.
struct MonitorAlert {
  AlertLevel level;
  std::string_view user;     // never empty; any bytes but the separators' pattern
  std::string_view percent;  // "%d": an optional '-', digits, no leading zero
  std::string_view freeMb;   // "%.2lf" without " Mb": digits, '.', two digits
  std::string_view maxMb;
};

// Takes apart `Warning,%s,%d%%,%s free,%s max` (or `Danger,...`) with sizes
// written "%.2lf Mb". The user name is what lies between the level's comma
// and the last three fields, so a comma in a name does not shift the
// figures. Anything else (another level word, a missing " Mb", "inf", a
// blank name, trailing text) answers false: no field is ever guessed.
bool parseMonitorAlert(std::string_view text, MonitorAlert* alert);

// The level of an alert of any form, as the daemon's level switch sees it:
// danger when its text holds "danger" in any letter case.
bool mentionsDanger(const std::string& text);

// Latin-1 bytes (Windows-1252 in practice, read as ISO-8859-1 so that every
// byte has one meaning) as UTF-8.
std::string latin1ToUtf8(std::string_view text);
// The same, added to `out`.
void appendLatin1AsUtf8(std::string* out, std::string_view text);
