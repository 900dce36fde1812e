// Reading a log line by line in blocks, with a cap on a line's length, so
// that memory does not grow with the file or with one endless line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class LineReader {
 public:
  // Longer lines are passed over whole and reported as too long: a daemon's
  // entry is at most 1 044 bytes (256 alert bytes, each escaped to 4).
  static constexpr std::size_t kLongestLine = 4096;

  explicit LineReader(std::FILE* file);

  enum class Kind { Line, TooLong, Unended, End, Failed };

  // The next line without its line end (LF, or the CR LF of a Windows log).
  // Unended: the file's last bytes, without a line end (a cut line, or one
  // being written). Failed: a read error (errno tells it).
  Kind next(std::string_view* line);

 private:
  bool fill();

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};
