#include "output/alert_journal.h"

#include "output/journal_entry.h"

std::unique_ptr<AlertJournal> AlertJournal::forStandardOutput(Say say) {
  if (!standardOutputIsJournal()) return nullptr;
  return std::make_unique<AlertJournal>(std::make_unique<JournalSocket>(), std::move(say));
}

AlertJournal::AlertJournal(std::unique_ptr<JournalSocket> socket, Say say)
    : socket_(std::move(socket)), say_(std::move(say)) {}

bool AlertJournal::record(const std::string& logLine, const std::string& message,
                          const std::string& sender) {
  std::string error;
  if (socket_->send(journalEntry(logLine, message, sender), !failing_, &error)) {
    failing_ = false;
    return true;
  }
  if (!failing_) say_(kFailedLine + error);
  failing_ = true;
  return false;
}
