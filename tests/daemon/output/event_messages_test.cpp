// The Event Log's events: every ID has its text in every language, with
// exactly the insertion strings the daemon gives, and outside bytes reach
// the insertion strings escaped; a flood is bounded.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "output/event_catalog.h"
#include "output/event_reporter.h"

namespace {

struct MessageText {
  std::string insertions;                     // the message's "Insertions:" comment
  std::map<std::string, std::string> texts;   // language name -> text
};

// brimletd_messages.mc read as the message compiler reads it: a message
// starts at MessageId=, each language's text runs to a line holding ".".
std::map<unsigned, MessageText> readMessageFile() {
  std::ifstream file(BRIMLETD_MESSAGES_PATH);
  std::map<unsigned, MessageText> messages;
  std::string line, insertions, language, text;
  unsigned id = 0;
  bool inText = false;
  while (std::getline(file, line)) {
    if (inText) {
      if (line == ".") {
        messages[id].texts[language] = text;
        inText = false;
      } else {
        text += line + "\n";
      }
    } else if (line.rfind("; // Insertions: ", 0) == 0) {
      insertions = line.substr(17);
    } else if (line.rfind("MessageId=", 0) == 0) {
      id = static_cast<unsigned>(std::stoul(line.substr(10)));
      messages[id].insertions = insertions;
    } else if (line.rfind("Language=", 0) == 0) {
      language = line.substr(9);
      text.clear();
      inText = true;
    }
  }
  return messages;
}

std::string joined(const std::vector<const char*>& names) {
  std::string text;
  for (const char* name : names) text += (text.empty() ? "" : " ") + std::string(name);
  return text;
}

// The insertion numbers a text uses, "%%" being a plain percent sign.
std::set<unsigned> insertionsUsed(const std::string& text) {
  std::set<unsigned> used;
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] != '%') continue;
    if (text[at + 1] == '%') {
      ++at;
    } else if (std::isdigit(static_cast<unsigned char>(text[at + 1]))) {
      used.insert(static_cast<unsigned>(std::stoul(text.substr(at + 1))));
    }
  }
  return used;
}

TEST(EventMessages, EveryIdHasItsInsertionsInEveryLanguage) {
  const auto messages = readMessageFile();
  ASSERT_EQ(eventDefinitions().size(), messages.size()) << "an ID without its event, or without text";
  for (const EventDefinition& definition : eventDefinitions()) {
    SCOPED_TRACE(definition.name);
    const auto found = messages.find(definition.id);
    ASSERT_NE(messages.end(), found) << "no text for ID " << definition.id;
    EXPECT_EQ(joined(definition.insertions), found->second.insertions);
    std::set<unsigned> expected;
    for (unsigned i = 1; i <= definition.insertions.size(); ++i) expected.insert(i);
    EXPECT_EQ(4u, found->second.texts.size());
    for (const char* language : {"English", "German", "French", "Dutch"}) {
      const auto text = found->second.texts.find(language);
      ASSERT_NE(found->second.texts.end(), text) << language;
      EXPECT_EQ(expected, insertionsUsed(text->second)) << language << ": " << text->second;
    }
  }
}

struct AlertEventCase {
  const char* name;
  std::string message;
  std::uint16_t id;
  EventLevel level;
  std::vector<std::string> strings;
};

TEST(EventMessages, AlertsGetTheirLevelsIdAndEscapedFields) {
  const std::vector<AlertEventCase> cases = {
      {"warning", "Warning,user1,80%,20.00 Mb free,102.40 Mb max", 100, EventLevel::Warning,
       {"user1", "80", "20.00", "102.40", "10.0.0.7"}},
      {"danger", "Danger,user1,100%,0.00 Mb free,48.83 Mb max", 101, EventLevel::Error,
       {"user1", "100", "0.00", "48.83", "10.0.0.7"}},
      {"control bytes in a name, the rest read as Windows-1252",
       "Danger,us\r\ner\x9b" "1,99%,1.00 Mb free,2.00 Mb max", 101, EventLevel::Error,
       {"us#015#012er\xE2\x80\xBA" "1", "99", "1.00", "2.00", "10.0.0.7"}},
      {"other text, danger", "DANGER: disk\x1b[2J", 103, EventLevel::Error,
       {"DANGER: disk#033[2J", "10.0.0.7"}},
      {"other text", "quota low", 102, EventLevel::Warning, {"quota low", "10.0.0.7"}},
  };
  for (const AlertEventCase& c : cases) {
    const Event event = alertEvent(c.message, "10.0.0.7");
    EXPECT_EQ(c.id, event.id) << c.name;
    EXPECT_EQ(c.level, event.level) << c.name;
    EXPECT_EQ(c.strings, event.strings) << c.name;
  }
  EXPECT_EQ("-", alertEvent("quota low", "").strings[1]) << "an unknown sender";
}

// A flood: the burst is reported, the rest counted and told in one event
// once the budget allows again; start and stop are never held back.
TEST(EventMessages, AFloodIsBoundedAndSummed) {
  EventBudget::Clock::time_point now{};
  std::vector<Event> reported;
  EventReporter reporter([&](const Event& event) { reported.push_back(event); return true; },
                         "", [&] { return now; });
  reporter.started(" port=48000", "brimletlog.txt");
  for (int i = 0; i < 250; ++i) reporter.alertKept("Danger,u,99%,1.00 Mb free,2.00 Mb max", "");
  EXPECT_EQ(1 + EventReporter::kBurst, reported.size());
  now += std::chrono::seconds(3);
  reporter.alertKept("Warning,u,80%,1.00 Mb free,2.00 Mb max", "");
  ASSERT_EQ(3 + EventReporter::kBurst, reported.size());
  EXPECT_EQ(300, reported[reported.size() - 2].id);
  EXPECT_EQ(std::vector<std::string>{"150"}, reported[reported.size() - 2].strings);
  EXPECT_EQ(100, reported.back().id);
  reporter.stopped(2, 3);
  EXPECT_EQ(2, reported.back().id);
  EXPECT_EQ((std::vector<std::string>{"251", "2", "0", "0", "3", "150"}), reported.back().strings);
}

}  // namespace
