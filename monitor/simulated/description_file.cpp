#include "simulated/description_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "simulated/description_parser.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string* text, std::string* reason) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *reason = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  std::string content;
  char chunk[4096];
  bool tooLarge = false;
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (content.size() + got > kMaxDescriptionFileSize) {
      tooLarge = true;
      break;
    }
    content.append(chunk, got);
  }
  bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (tooLarge) {
    *reason = "larger than " + std::to_string(kMaxDescriptionFileSize) + " bytes";
    return false;
  }
  if (readError) {
    *reason = "read error";
    return false;
  }
  *text = std::move(content);
  return true;
}

}  // namespace

bool LoadNetworkDescription(const std::string& path, NetworkDescription* description,
                            std::string* message) {
  std::string text;
  std::string reason;
  if (!ReadWholeFile(path, &text, &reason)) {
    *message = path + ": " + reason;
    return false;
  }
  DescriptionError error;
  if (!ParseNetworkDescription(text, description, &error)) {
    *message =
        path + (error.line > 0 ? ":" + std::to_string(error.line) : "") + ": " + error.reason;
    return false;
  }
  return true;
}
