#include "output/event_catalog.h"

#include "alerts/alert_form.h"
#include "alerts/text_escape.h"

namespace {

// The one place where outside bytes become insertion strings: the escaping
// of every output, in the journal's form (UTF-8, the alert read as
// Windows-1252), so that an alert reads alike in the journal and here.
std::string insertionText(const std::string& raw) { return escaped(raw, EscapeForm::JournalText); }

}  // namespace

const std::vector<EventDefinition>& eventDefinitions() {
  static const std::vector<EventDefinition> definitions = {
#define BRIMLETD_EVENT(name, id, level, ...) \
  {EventKind::name, id, EventLevel::level, #name, {__VA_ARGS__}},
#include "output/event_kinds.def"
#undef BRIMLETD_EVENT
  };
  return definitions;
}

const EventDefinition& definitionOf(EventKind kind) {
  return eventDefinitions()[static_cast<std::size_t>(kind)];
}

Event makeEvent(EventKind kind, const std::vector<std::string>& values) {
  const EventDefinition& definition = definitionOf(kind);
  Event event{kind, definition.id, definition.level, {}};
  event.strings.reserve(definition.insertions.size());
  for (std::size_t i = 0; i < definition.insertions.size(); ++i) {
    // A missing value reads "-" rather than leaving "%n" in the text.
    const std::string value = i < values.size() ? insertionText(values[i]) : std::string();
    event.strings.push_back(value.empty() ? "-" : value);
  }
  return event;
}

Event alertEvent(const std::string& message, const std::string& sender) {
  MonitorAlert alert;
  if (parseMonitorAlert(message, &alert)) {
    const EventKind kind =
        alert.level == AlertLevel::Danger ? EventKind::DangerAlert : EventKind::WarningAlert;
    return makeEvent(kind, {std::string(alert.user), std::string(alert.percent),
                            std::string(alert.freeMb), std::string(alert.maxMb), sender});
  }
  const EventKind kind =
      mentionsDanger(message) ? EventKind::OtherDangerAlert : EventKind::OtherWarningAlert;
  return makeEvent(kind, {message, sender});
}
