#include "output/alert_journal.h"

#include <chrono>
#include <thread>

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

void AlertJournal::add(const std::string& logLine, const std::string& message,
                       const std::string& sender) {
  if (added_ == payloads_.size()) payloads_.emplace_back();
  std::string& payload = payloads_[added_++];
  payload.clear();
  appendJournalEntry(&payload, logLine, message, sender);
}

// Each alert gets what record() gives it: those the journal takes without a
// wait go in one call. A full journal gets short pauses to read a round of
// them, rather than a wake-up of this thread for each entry it reads, up to
// the second a patient send() waits; then, and for any other refusal, the
// entry is sent alone, patiently unless the journal is failing, as record()
// sends it.
void AlertJournal::sendAdded() {
  using Clock = std::chrono::steady_clock;
  constexpr auto kPause = std::chrono::microseconds(200);
  constexpr auto kPatience = std::chrono::seconds(1);
  outcomes_.clear();
  errors_.clear();
  errorsSaid_ = 0;
  std::size_t at = 0;
  Clock::time_point lastTaken = Clock::now();
  while (at < added_) {
    bool waitedOut = false;
    if (!failing_) {
      bool full = false;
      const std::size_t taken = socket_->sendWhileTaken(payloads_.data() + at, added_ - at, &full);
      outcomes_.insert(outcomes_.end(), taken, Outcome::Taken);
      at += taken;
      if (at == added_) break;
      const Clock::time_point now = Clock::now();
      if (taken > 0) lastTaken = now;
      if (full && now - lastTaken < kPatience) {
        std::this_thread::sleep_for(kPause);
        continue;
      }
      waitedOut = full;
    }
    std::string error;
    if (socket_->send(payloads_[at], !failing_ && !waitedOut, &error)) {
      failing_ = false;
      outcomes_.push_back(Outcome::Taken);
    } else if (failing_) {
      outcomes_.push_back(Outcome::Refused);
    } else {
      failing_ = true;
      outcomes_.push_back(Outcome::RefusedFirst);
      errors_.push_back(std::move(error));
    }
    ++at;
    lastTaken = Clock::now();
  }
  added_ = 0;
}

bool AlertJournal::took(std::size_t index) {
  const Outcome outcome = outcomes_.at(index);
  if (outcome == Outcome::RefusedFirst) say_(kFailedLine + errors_.at(errorsSaid_++));
  return outcome == Outcome::Taken;
}
