// The daemon's events for the Windows Event Log as data: one ID per kind of
// event, its level, and its insertion strings made from the daemon's own
// values. Portable, so that the texts can be checked on any host; only
// win/event_log.cpp hands the events to the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class EventLevel { Information, Warning, Error };

enum class EventKind {
#define BRIMLETD_EVENT(name, id, level, ...) name,
#include "output/event_kinds.def"
#undef BRIMLETD_EVENT
};

struct EventDefinition {
  EventKind kind;
  std::uint16_t id;
  EventLevel level;
  const char* name;
  std::vector<const char*> insertions;  // %1, %2, ... in this order
};

// Every kind, in the order of event_kinds.def.
const std::vector<EventDefinition>& eventDefinitions();
const EventDefinition& definitionOf(EventKind kind);

// One event ready for the Event Log: its insertion strings hold no control
// byte (the same escaping as the log file's) and are Windows-1252 text, as
// the alerts are.
struct Event {
  EventKind kind;
  std::uint16_t id;
  EventLevel level;
  std::vector<std::string> strings;
};

// Builds the event of `kind` from raw values, in the definition's order;
// each value is escaped as the log file escapes an alert.
Event makeEvent(EventKind kind, const std::vector<std::string>& values);

// A kept alert's event: an alert in the monitor's exact form gets the
// warning or danger ID with its fields; any other text gets the ID of the
// level the daemon's level switch sees in it, with the whole text. `sender`
// is the sender's address, or "" where the receiver does not give one.
Event alertEvent(const std::string& message, const std::string& sender);
