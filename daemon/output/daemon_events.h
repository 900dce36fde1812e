// What the daemon tells the system's own log besides its log file: on
// Windows, when it runs as a service, the Event Log (win/event_log.cpp).
// Elsewhere, and for a console start, every call does nothing: the console
// and the journal have their lines already.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class DaemonEvents {
 public:
  virtual ~DaemonEvents() = default;

  // The events of this process, written once per platform
  // (win/event_log.cpp, posix/event_log.cpp).
  static std::unique_ptr<DaemonEvents> forThisProcess();

  virtual void started(const std::string& /*settings*/, const std::string& /*logFile*/) {}
  virtual void portFailed(std::int32_t /*port*/, const std::string& /*reason*/) {}
  // Whether alertKept wants the alerts: the writer then makes their text.
  virtual bool recordsAlerts() const { return false; }
  // A kept alert, after its entry went to the log file.
  virtual void alertKept(const std::string& /*message*/, const std::string& /*sender*/) {}
  virtual void logFailed(const std::string& /*logFile*/, const std::string& /*reason*/) {}
  virtual void droppedByQueue(std::uint32_t /*count*/) {}
  virtual void droppedBySocket(std::uint32_t /*count*/) {}
  virtual void refused(std::uint32_t /*count*/, const std::string& /*reason*/) {}
  virtual void stopped(std::uint32_t /*notLogged*/, std::uint32_t /*leftInSocket*/) {}
};
