// Alerts for a log host given by name wait here until the name is looked up.
//
// The name is looked up whenever an alert waits and no lookup runs: when an
// alert falls due (so every alert follows the name's current record; the
// system's resolver cache keeps repeated lookups cheap for as long as the
// record's time to live allows), and again at each poll after a lookup that
// found nothing usable (a resolver not yet reachable at logon, say). Each
// alert is sent once, in the order it fell due, when an address is found.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

class HeldAlerts {
 public:
  // More would mean several danger episodes while the name stays unknown;
  // the oldest then makes way for the newest.
  static constexpr std::size_t kMaxHeld = 4;

  // An alert fell due. Answers the alert that made way for it, if any ("" for
  // none), so that its loss is not silent.
  std::string Hold(std::string text);

  // Whether a lookup should start now: alerts wait and none runs.
  bool LookupDue() const { return !held.empty() && !lookingUp; }
  void LookupStarted() { lookingUp = true; }
  bool LookingUp() const { return lookingUp; }

  // The lookup found an address that the socket took: every held alert,
  // oldest first, to be sent now; none is held any more.
  std::vector<std::string> Found();
  // The lookup found nothing usable: the alerts stay for the next one.
  void NotFound() { lookingUp = false; }

  std::size_t Count() const { return held.size(); }

 private:
  std::deque<std::string> held;
  bool lookingUp = false;
};
