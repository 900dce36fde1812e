#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"

bool SectionReader::Key(const std::string& key, const std::string& value, int line,
                        DescriptionError* error) {
  std::string reason;
  if (!Repeats(key) && !seen_.insert(key).second) {
    reason = Quoted(key) + " is given twice in " + Printable(title_);
  } else if (Read(key, value, line, &reason)) {
    return true;
  }
  *error = DescriptionError{line, reason};
  return false;
}

std::string SectionReader::UnknownKey(const std::string& key) const {
  return "unknown key " + Quoted(key) + " in " + Printable(title_);
}

bool SectionReader::Require(std::initializer_list<const char*> keys,
                            DescriptionError* error) const {
  for (const char* key : keys) {
    if (seen_.count(key) == 0) {
      *error = DescriptionError{line_, Printable(title_) + " needs '" + key + "'"};
      return false;
    }
  }
  return true;
}

std::string ServerKey(const std::string& server) { return Upper(server); }

std::string VolumeKey(const std::string& server, const std::string& volume) {
  return Upper(server) + " " + Upper(volume);
}

std::string PathKey(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == '\\') --end;
  return Upper(path.substr(0, end));
}
