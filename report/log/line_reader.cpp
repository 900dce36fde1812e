#include "log/line_reader.h"

#include <cstring>

namespace {
constexpr std::size_t kBlockBytes = 1 << 20;
}

LineReader::LineReader(std::FILE* file) : file_(file), buffer_(kBlockBytes + kLongestLine + 2) {}

// Moves what is left to the front and reads more behind it.
bool LineReader::fill() {
  if (eof_) return false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += got;
  if (got == 0) {
    eof_ = true;
    failed_ = std::ferror(file_) != 0;
  }
  return got > 0;
}

LineReader::Kind LineReader::next(std::string_view* line) {
  bool tooLong = false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (newline != nullptr) {
      std::size_t length = static_cast<std::size_t>(newline - start);
      begin_ += length + 1;
      if (tooLong || length > kLongestLine + 1) return Kind::TooLong;
      if (length > 0 && start[length - 1] == '\r') --length;
      if (length > kLongestLine) return Kind::TooLong;
      *line = std::string_view(start, length);
      return Kind::Line;
    }
    if (end_ - begin_ > kLongestLine + 1) {
      // No line end in sight: drop what is there and look on.
      tooLong = true;
      begin_ = end_;
    }
    if (!fill()) {
      if (failed_) return Kind::Failed;
      if (begin_ == end_) return tooLong ? Kind::TooLong : Kind::End;
      *line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return tooLong || line->size() > kLongestLine ? Kind::TooLong : Kind::Unended;
    }
  }
}
