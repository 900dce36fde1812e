// Kept alerts as structured journal entries, in place of their console
// echo, where the daemon's console is the journal.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

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

  // The same for a writing turn's kept alerts, in as few system calls as
  // the journal allows: add() each in its order, sendAdded(), then took()
  // for each in the same order, which answers what record() would have and
  // says the failure line where record() would have said it.
  void add(const std::string& logLine, const std::string& message, const std::string& sender);
  void sendAdded();
  bool took(std::size_t index);

  static constexpr char kFailedLine[] =
      "BrimletD : journal did not take the alert, alerts go to the console: ";

 private:
  // What became of an added alert: taken, or refused and whether the
  // failure line goes before its echo.
  enum class Outcome : unsigned char { Taken, Refused, RefusedFirst };

  std::unique_ptr<JournalSocket> socket_;
  Say say_;
  bool failing_ = false;
  std::vector<std::string> payloads_;  // kept at their largest, reused turn by turn
  std::size_t added_ = 0;
  std::vector<Outcome> outcomes_;
  std::vector<std::string> errors_;  // for each RefusedFirst, in order
  std::size_t errorsSaid_ = 0;
};
