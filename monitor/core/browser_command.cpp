#include "core/browser_command.h"

namespace {

constexpr std::string_view kQuotedPlaceholder = "\"%1\"";
constexpr std::string_view kPlaceholder = "%1";

// Position of the first quoted placeholder that starts on a character
// boundary, or npos.
std::size_t FindQuotedPlaceholder(std::string_view text, IsLeadBytePredicate isLeadByte) {
  std::size_t position = 0;
  while (position < text.size()) {
    if (text.substr(position, kQuotedPlaceholder.size()) == kQuotedPlaceholder) {
      return position;
    }
    // A lead byte takes its trail byte with it, unless the text ends first.
    bool twoBytes =
        isLeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size();
    position += twoBytes ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> BuildBrowserCommand(std::string_view registered,
                                               std::string_view address,
                                               IsLeadBytePredicate isLeadByte,
                                               std::size_t capacity) {
  std::size_t cut = FindQuotedPlaceholder(registered, isLeadByte);
  if (cut == std::string_view::npos) {
    cut = registered.find(kPlaceholder);
  }
  std::string_view kept = registered.substr(0, cut);
  // The kept text, a blank, the address and the terminator.
  if (kept.size() + 1 + address.size() + 1 > capacity) {
    return std::nullopt;
  }
  std::string command(kept);
  command.append(" ").append(address);
  return command;
}
