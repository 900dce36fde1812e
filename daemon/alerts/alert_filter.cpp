#include "alerts/alert_filter.h"

#include "alerts/text_case.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

AlertFilter::AlertFilter(bool showOnlyAlert, const std::string& filter, bool filtrePositif)
    : showOnlyAlert_(showOnlyAlert),
      upperFilter_(toUpperLatin1(filter)),
      filtrePositif_(filtrePositif) {}

FilterDecision AlertFilter::decide(const std::string& upperMessage) const {
  // A warning is dropped silently; only the name filter explains itself.
  if (showOnlyAlert_ && !contains(upperMessage, "DANGER")) return {false, ""};
  if (upperFilter_.empty()) return {true, ""};

  const std::string prefix = filtrePositif_ ? "Filtre posisif : " : "Filte negatif : ";
  const bool keep = contains(upperMessage, upperFilter_) == filtrePositif_;
  return {keep, prefix + (keep ? " Accepting " : " ignoring !")};
}
