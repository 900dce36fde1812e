#include <windows.h>

#include "output/daemon_events.h"
#include "output/event_reporter.h"
#include "win/service.h"

namespace {

WORD eventType(EventLevel level) {
  switch (level) {
    case EventLevel::Warning:
      return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error:
      return EVENTLOG_ERROR_TYPE;
    default:
      return EVENTLOG_INFORMATION_TYPE;
  }
}

// The insertion strings are UTF-8 (the catalog decodes the alerts'
// Windows-1252), whatever the host's ANSI code page.
std::wstring fromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  return wide;
}

class EventLogSource {
 public:
  EventLogSource() : handle_(RegisterEventSourceW(nullptr, L"BrimletD")) {}
  ~EventLogSource() {
    if (handle_ != nullptr) DeregisterEventSource(handle_);
  }
  EventLogSource(const EventLogSource&) = delete;
  EventLogSource& operator=(const EventLogSource&) = delete;

  bool report(const Event& event) {
    if (handle_ == nullptr) return false;
    std::vector<std::wstring> strings;
    std::vector<const wchar_t*> pointers;
    strings.reserve(event.strings.size());
    for (const std::string& text : event.strings) strings.push_back(fromUtf8(text));
    for (const std::wstring& text : strings) pointers.push_back(text.c_str());
    return ReportEventW(handle_, eventType(event.level), 0, event.id, nullptr,
                        static_cast<WORD>(pointers.size()), 0, pointers.data(), nullptr) != FALSE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

// A console start keeps to its console, as before; the service reports to
// the Event Log under the source the installer registered.
std::unique_ptr<DaemonEvents> DaemonEvents::forThisProcess() {
  if (!runningAsService()) return std::make_unique<DaemonEvents>();
  auto source = std::make_shared<EventLogSource>();
  return std::make_unique<EventReporter>(
      [source](const Event& event) { return source->report(event); }, serviceDataFolder());
}
