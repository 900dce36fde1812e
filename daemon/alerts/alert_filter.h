// The level switch and the name filter: which datagrams are kept.
#pragma once

#include <string>

// What becomes of one datagram, and the line the filter prints about it
// (empty when nothing is printed).
struct FilterDecision {
  bool keep;
  std::string consoleLine;
};

// The two tests a datagram passes before it is logged. Both look for a
// substring anywhere in the upper-cased raw text; the text is not split into
// its fields.
class AlertFilter {
 public:
  AlertFilter(bool showOnlyAlert, const std::string& filter, bool filtrePositif);

  FilterDecision decide(const std::string& upperMessage) const;

  // Whether decide looks at the text at all: without the level switch and a
  // name filter every datagram is kept, and nobody needs it upper-cased.
  bool looksAtText() const { return showOnlyAlert_ || !upperFilter_.empty(); }

 private:
  bool showOnlyAlert_;
  std::string upperFilter_;
  bool filtrePositif_;
};
