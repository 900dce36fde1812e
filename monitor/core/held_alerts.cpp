#include "core/held_alerts.h"

#include <utility>

std::string HeldAlerts::Hold(std::string text) {
  std::string dropped;
  if (held.size() == kMaxHeld) {
    dropped = std::move(held.front());
    held.pop_front();
  }
  held.push_back(std::move(text));
  return dropped;
}

std::vector<std::string> HeldAlerts::Found() {
  lookingUp = false;
  std::vector<std::string> due(std::make_move_iterator(held.begin()),
                               std::make_move_iterator(held.end()));
  held.clear();
  return due;
}
