// The daemon's events as Event Log events, bounded: a flood of alerts
// cannot flood the Event Log. The log file stays the record, so an event
// that is held back, or that the Event Log refuses, costs no log entry.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "output/daemon_events.h"
#include "output/event_catalog.h"

// A token bucket: `burst` events at once, then one more per `interval`.
class EventBudget {
 public:
  using Clock = std::chrono::steady_clock;
  EventBudget(std::uint32_t burst, Clock::duration interval);
  bool take(Clock::time_point now);

 private:
  std::uint32_t burst_;
  Clock::duration interval_;
  double tokens_;
  Clock::time_point last_{};
  bool started_ = false;
};

class EventReporter : public DaemonEvents {
 public:
  // Answers whether the Event Log took the event; a refusal changes nothing.
  using Report = std::function<bool(const Event&)>;
  using Now = std::function<EventBudget::Clock::time_point()>;

  // 100 events at once, then one a second: a burst of a site's alerts is
  // shown whole, a flood costs the Event Log at most 3 600 events an hour.
  static constexpr std::uint32_t kBurst = 100;
  static constexpr std::chrono::seconds kInterval{1};

  // `logFolder`: where the log file lies, named in the start event.
  EventReporter(Report report, std::string logFolder, Now now = EventBudget::Clock::now);

  void started(const std::string& settings, const std::string& logFile) override;
  void portFailed(std::int32_t port, const std::string& reason) override;
  void alertKept(const std::string& message, const std::string& sender) override;
  void logFailed(const std::string& logFile, const std::string& reason) override;
  void droppedByQueue(std::uint32_t count) override;
  void droppedBySocket(std::uint32_t count) override;
  bool recordsAlerts() const override { return true; }
  void refused(std::uint32_t count, const std::string& reason) override;
  void stopped(std::uint32_t notLogged, std::uint32_t leftInSocket) override;

 private:
  // Start, stop and a port that cannot be opened happen once a run: never
  // held back. Everything else is reported within the budget; what does
  // not fit is counted, and the next event that fits is preceded by one
  // HeldBack event with that count.
  void reportBounded(const Event& event);

  Report report_;
  std::string logFolder_;
  Now now_;
  // Refusals are told from the receiving thread, the rest from the writer.
  std::mutex budgetMutex_;
  EventBudget budget_;
  std::uint64_t kept_ = 0;
  std::uint64_t droppedByQueue_ = 0;
  std::uint64_t droppedBySocket_ = 0;
  std::uint64_t heldBack_ = 0;       // since the last HeldBack event
  std::uint64_t heldBackTotal_ = 0;  // in the whole run
};
