// Kept alerts as structured journal entries, in place of their console
// echo, where the daemon's console is the journal.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "output/journal_socket.h"

class AlertJournal {
 public:
  using Say = std::function<void(const std::string& line)>;

  // A journal for the daemon when its standard output is the journal's
  // stream, else none. `say` prints a console line.
  static std::unique_ptr<AlertJournal> forStandardOutput(Say say);

  AlertJournal(std::unique_ptr<JournalSocket> socket, Say say);

  // Sends one kept alert: its log line, the text it came in and its
  // sender's address. Answers
  // false when the journal did not take it, and the caller echoes the line
  // on the console as before; the first failure of a run of them says why,
  // and until the journal takes an entry again no send waits for it.
  bool record(const std::string& logLine, const std::string& message, const std::string& sender);

  static constexpr char kFailedLine[] =
      "BrimletD : journal did not take the alert, alerts go to the console: ";

 private:
  std::unique_ptr<JournalSocket> socket_;
  Say say_;
  bool failing_ = false;
};
