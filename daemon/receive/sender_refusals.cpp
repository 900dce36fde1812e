#include "receive/sender_refusals.h"

#include <algorithm>

void SenderRefusals::Tally::count(const SenderAddress& sender) {
  ++total;
  for (Sender& known : busiest) {
    if (known.address == sender) {
      ++known.count;
      return;
    }
  }
  if (busiest.size() < kTracked) {
    busiest.push_back({sender, 1, 0});
    return;
  }
  // Space saving: the least counted gives its place and its count, so that
  // a heavy sender that comes late still rises to the top.
  Sender& least =
      *std::min_element(busiest.begin(), busiest.end(),
                        [](const Sender& a, const Sender& b) { return a.count < b.count; });
  least = {sender, least.count + 1, least.count};
}

SenderRefusals::Line SenderRefusals::Tally::line(const char* reason) {
  std::sort(busiest.begin(), busiest.end(), [](const Sender& a, const Sender& b) {
    return a.count - a.overcount > b.count - b.overcount;
  });
  std::string text = std::string("BrimletD : ") + reason + ", from ";
  std::uint64_t shownTotal = 0;
  for (std::size_t i = 0; i < busiest.size() && i < kShown; ++i) {
    const std::uint64_t atLeast = busiest[i].count - busiest[i].overcount;
    if (i > 0) text += ", ";
    text += formatAddress(busiest[i].address) + " (" + std::to_string(atLeast) + ")";
    shownTotal += atLeast;
  }
  if (shownTotal < total) text += " and others";
  text += ", datagrams refused: " + std::to_string(total);
  const Line told{std::move(text), reason, total};
  total = 0;
  busiest.clear();
  return told;
}

void SenderRefusals::count(SenderVerdict verdict, const SenderAddress& sender) {
  if (verdict == SenderVerdict::NotAllowed) notAllowed_.count(sender);
  if (verdict == SenderVerdict::OverRate) overRate_.count(sender);
}

void SenderRefusals::takeLines(std::vector<Line>* lines) {
  if (notAllowed_.total > 0) lines->push_back(notAllowed_.line("sender not allowed"));
  if (overRate_.total > 0) lines->push_back(overRate_.line("sender over the rate"));
}

std::vector<SenderRefusals::Line> SenderRefusals::dueLines(std::int64_t now) {
  std::vector<Line> lines;
  if (notAllowed_.total == 0 && overRate_.total == 0) return lines;
  if (toldOnce_ &&
      now - lastLine_ < std::chrono::duration_cast<std::chrono::nanoseconds>(kInterval).count()) {
    return lines;
  }
  toldOnce_ = true;
  lastLine_ = now;
  takeLines(&lines);
  return lines;
}

std::vector<SenderRefusals::Line> SenderRefusals::remainingLines() {
  std::vector<Line> lines;
  takeLines(&lines);
  return lines;
}
