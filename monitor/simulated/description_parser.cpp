#include "simulated/description_parser.h"

#include <map>
#include <utility>

#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"

namespace {

// A '#' starts a comment at the beginning of a line or after a blank.
std::string WithoutComment(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return line.substr(0, i);
    }
  }
  return line;
}

using StartFunction = bool (*)(const std::string&, const std::string&, int, ParsedNetwork*,
                               SectionStart*, std::string*);

struct SectionKind {
  const char* name;
  StartFunction start;
};

constexpr SectionKind kKinds[] = {
    {"server", StartServerSection},       {"volume", StartVolumeSection},
    {"drive", StartDriveSection},         {"limits", StartLimitsSection},
    {"directory", StartDirectorySection}, {"failures", StartFailuresSection},
};

class Parser {
 public:
  bool Parse(const std::string& text, DescriptionError* error) {
    std::vector<std::string> lines;
    std::string reason;
    if (!SplitDescriptionLines(text, &lines, &reason)) {
      *error = DescriptionError{0, reason};
      return false;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!Line(static_cast<int>(i) + 1, lines[i], error)) return false;
    }
    if (!FinishSection(error)) return false;
    if (sections_.empty()) {
      *error = DescriptionError{0, "the description is empty: it holds no [section]"};
      return false;
    }
    return CheckParsedNetwork(parsed_, error);
  }

  NetworkDescription Result() {
    NetworkDescription result;
    for (auto& server : parsed_.servers) result.servers.push_back(std::move(server.item));
    for (auto& volume : parsed_.volumes) result.volumes.push_back(std::move(volume.item));
    for (auto& drive : parsed_.drives) result.drives.push_back(std::move(drive.item));
    for (auto& limits : parsed_.limitLists) result.limitLists.push_back(std::move(limits.item));
    result.directory = std::move(parsed_.directory);
    result.failures = std::move(parsed_.failures);
    return result;
  }

 private:
  bool Line(int line, const std::string& raw, DescriptionError* error) {
    size_t control = FindControlByte(raw);
    if (control != std::string::npos) {
      *error = DescriptionError{line, "control byte " + Printable(raw.substr(control, 1)) +
                                          " in column " + std::to_string(control + 1) +
                                          ": a description is plain text"};
      return false;
    }
    std::string content = Trim(WithoutComment(raw));
    if (content.empty()) return true;
    if (content[0] == '[') return Header(line, content, error);
    size_t equals = content.find('=');
    std::string reason;
    if (equals == std::string::npos) {
      reason = "expected 'key = value' or a [section]";
    } else if (Trim(content.substr(0, equals)).empty()) {
      reason = "a key is missing before '='";
    } else if (!section_) {
      reason = Quoted(Trim(content.substr(0, equals))) + " is outside any section";
    } else {
      return section_->Key(Trim(content.substr(0, equals)), Trim(content.substr(equals + 1)), line,
                           error);
    }
    *error = DescriptionError{line, reason};
    return false;
  }

  bool Header(int line, const std::string& content, DescriptionError* error) {
    if (content.back() != ']') {
      *error = DescriptionError{line, "a section header must end with ']'"};
      return false;
    }
    if (!FinishSection(error)) return false;
    std::string inner = Trim(content.substr(1, content.size() - 2));
    std::string title = "[" + inner + "]";
    std::string name;
    std::string kind = Lower(FirstWord(inner, &name));
    SectionStart start;
    std::string reason;
    const SectionKind* found = nullptr;
    for (const SectionKind& candidate : kKinds) {
      if (kind == candidate.name) found = &candidate;
    }
    if (found == nullptr) {
      reason = "unknown section " + Printable(title) +
               " (expected server, volume, drive, limits, directory or failures)";
    } else if (found->start(name, title, line, &parsed_, &start, &reason)) {
      auto earlier = sections_.emplace(start.identity, std::make_pair(title, line));
      if (earlier.second) {
        section_ = std::move(start.reader);
        return true;
      }
      const auto& [earlierTitle, earlierLine] = earlier.first->second;
      reason = Printable(title) + " is given twice: " + Printable(earlierTitle) + " at line " +
               std::to_string(earlierLine) + " names the same " + found->name;
    }
    *error = DescriptionError{line, reason};
    return false;
  }

  bool FinishSection(DescriptionError* error) {
    if (!section_) return true;
    std::unique_ptr<SectionReader> ending = std::move(section_);
    return ending->Finish(error);
  }

  ParsedNetwork parsed_;
  std::unique_ptr<SectionReader> section_;
  // Each section's identity -> its header as written and its line.
  std::map<std::string, std::pair<std::string, int>> sections_;
};

}  // namespace

bool ParseNetworkDescription(const std::string& text, NetworkDescription* description,
                             DescriptionError* error) {
  Parser parser;
  if (!parser.Parse(text, error)) return false;
  *description = parser.Result();
  return true;
}
