// The section kinds of a network description. Each kind has a reader of its
// own file; the parser hands it the keys of its section and the checks run
// once the whole text is read.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "simulated/description_parser.h"
#include "simulated/network_description.h"

// An item with the line of its section header, for messages.
template <typename T>
struct Placed {
  T item;
  int line = 0;
};

// What the sections yield before the checks across them.
struct ParsedNetwork {
  std::vector<Placed<ServerDescription>> servers;
  std::vector<Placed<VolumeDescription>> volumes;
  std::vector<Placed<DriveMapping>> drives;
  std::vector<Placed<LimitListDescription>> limitLists;
  DirectoryDescription directory;
  int authenticatedLine = 0;  // the line of "authenticated = yes"; 0 when not said
  std::vector<FailureRule> failures;
};

class SectionReader {
 public:
  // title is the header as written, e.g. "[server FS1]"; line is its line.
  SectionReader(std::string title, int line) : title_(std::move(title)), line_(line) {}
  virtual ~SectionReader() = default;

  // Reads one "key = value" line. A key may be given once per section unless
  // the kind says it repeats.
  bool Key(const std::string& key, const std::string& value, int line, DescriptionError* error);
  // The section has ended: checks its required keys and stores what it read.
  virtual bool Finish(DescriptionError* error) = 0;

 protected:
  virtual bool Repeats(const std::string&) const { return false; }
  virtual bool Read(const std::string& key, const std::string& value, int line,
                    std::string* reason) = 0;

  const std::string& Title() const { return title_; }
  int Line() const { return line_; }
  std::string UnknownKey(const std::string& key) const;
  // False with an error at the header's line when one of the keys is missing.
  bool Require(std::initializer_list<const char*> keys, DescriptionError* error) const;

 private:
  std::string title_;
  int line_;
  std::set<std::string> seen_;
};

// A section header's name read by its kind: *identity is what two sections
// of the description must not share (the name normalised: letter case,
// blanks, trailing backslashes), *reader reads its keys into *network.
struct SectionStart {
  std::string identity;
  std::unique_ptr<SectionReader> reader;
};

// Each answers false with *reason when the header's name is unusable.
bool StartServerSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason);
bool StartVolumeSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason);
bool StartDriveSection(const std::string& name, const std::string& title, int line,
                       ParsedNetwork* network, SectionStart* start, std::string* reason);
bool StartLimitsSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason);
bool StartDirectorySection(const std::string& name, const std::string& title, int line,
                           ParsedNetwork* network, SectionStart* start, std::string* reason);
bool StartFailuresSection(const std::string& name, const std::string& title, int line,
                          ParsedNetwork* network, SectionStart* start, std::string* reason);

// The checks across sections (every reference names a described server or
// volume, no two volumes share a number, ...), in n log n of the items.
bool CheckParsedNetwork(const ParsedNetwork& network, DescriptionError* error);

// Normalised forms shared by the headers and the checks.
std::string ServerKey(const std::string& server);
std::string VolumeKey(const std::string& server, const std::string& volume);
// Upper case, without trailing backslashes: "h:\" and "H:" are one path.
std::string PathKey(const std::string& path);
