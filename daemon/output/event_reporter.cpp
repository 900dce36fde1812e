#include "output/event_reporter.h"

#include <algorithm>

EventBudget::EventBudget(std::uint32_t burst, Clock::duration interval)
    : burst_(burst), interval_(interval), tokens_(burst) {}

bool EventBudget::take(Clock::time_point now) {
  if (started_ && now > last_) {
    const double earned = std::chrono::duration<double>(now - last_) /
                          std::chrono::duration<double>(interval_);
    tokens_ = std::min<double>(burst_, tokens_ + earned);
  }
  if (!started_ || now > last_) last_ = now;
  started_ = true;
  if (tokens_ < 1.0) return false;
  tokens_ -= 1.0;
  return true;
}

EventReporter::EventReporter(Report report, std::string logFolder, Now now)
    : report_(std::move(report)),
      logFolder_(std::move(logFolder)),
      now_(std::move(now)),
      budget_(kBurst, std::chrono::duration_cast<EventBudget::Clock::duration>(kInterval)) {}

void EventReporter::reportBounded(const Event& event) {
  const std::lock_guard<std::mutex> lock(budgetMutex_);
  if (!budget_.take(now_())) {
    ++heldBack_;
    ++heldBackTotal_;
    return;
  }
  if (heldBack_ > 0) {
    report_(makeEvent(EventKind::HeldBack, {std::to_string(heldBack_)}));
    heldBack_ = 0;
  }
  report_(event);
}

void EventReporter::started(const std::string& settings, const std::string& logFile) {
  report_(makeEvent(EventKind::Started,
                    {settings, logFolder_.empty() ? logFile : logFolder_ + "\\" + logFile}));
}

void EventReporter::portFailed(std::int32_t port, const std::string& reason) {
  report_(makeEvent(EventKind::PortFailed, {std::to_string(port), reason}));
}

void EventReporter::alertKept(const std::string& message, const std::string& sender) {
  ++kept_;
  reportBounded(alertEvent(message, sender));
}

void EventReporter::logFailed(const std::string& logFile, const std::string& reason) {
  reportBounded(makeEvent(EventKind::LogFailed, {logFile, reason}));
}

void EventReporter::droppedByQueue(std::uint32_t count) {
  droppedByQueue_ += count;
  reportBounded(makeEvent(EventKind::DroppedByQueue, {std::to_string(count)}));
}

void EventReporter::droppedBySocket(std::uint32_t count) {
  droppedBySocket_ += count;
  reportBounded(makeEvent(EventKind::DroppedBySocket, {std::to_string(count)}));
}

void EventReporter::refused(std::uint32_t count, const std::string& reason) {
  reportBounded(makeEvent(EventKind::Refused, {std::to_string(count), reason}));
}

void EventReporter::stopped(std::uint32_t notLogged, std::uint32_t leftInSocket) {
  report_(makeEvent(EventKind::Stopped,
                    {std::to_string(kept_), std::to_string(notLogged),
                     std::to_string(droppedByQueue_), std::to_string(droppedBySocket_),
                     std::to_string(leftInSocket), std::to_string(heldBackTotal_)}));
}
