// Standard output: the daemon's lines, and an echo that never holds up the log.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Prints one line and flushes it at once: under a service manager standard
// output is a pipe, and an operator watching the journal must see each line
// as it happens. A line that could not be written does not keep the next one
// from being tried.
void printLine(std::ostream& out, const std::string& line);

// Where the echo's text goes: writes the bytes and answers how many of them
// made it, all of them unless the write failed.
using ConsoleWrite = std::function<std::size_t(const char* data, std::size_t size)>;

// The daemon's console while it serves: the log is the record and the console
// a courtesy, so printing a line never waits for the console. Lines wait in a
// buffer of their own that a thread of the echo writes out. A line that finds
// the buffer full (nobody reads the console) is given up, and so is one whose
// write fails (a full disk); the echo counts them and says so, before the next
// line it writes, with "BrimletD : console not writable, lines skipped: N".
class ConsoleEcho {
 public:
  ConsoleEcho(ConsoleWrite write, std::size_t capacityBytes);
  // A thread still stuck in a write is left to the end of the process.
  ~ConsoleEcho();
  ConsoleEcho(const ConsoleEcho&) = delete;
  ConsoleEcho& operator=(const ConsoleEcho&) = delete;

  // Starts the thread that writes; lines printed before wait for it.
  void start();

  // Hands one line over, or counts it as skipped when the buffer is full.
  void print(const std::string& line);

  // Waits until every line handed over is written or given up, at most
  // `patience` once the writing stops making progress; then the thread is
  // left to the end of the process.
  void finish(std::chrono::milliseconds patience);

  static std::string skippedLine(std::uint64_t count);

  // The writing thread's pause after each write while lines keep coming.
  static constexpr std::chrono::milliseconds kGatherPause{4};

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  bool started_ = false;
  bool finished_ = false;
};

// A ConsoleWrite onto a stream; it clears the stream's error state first, so
// that one failure does not silence the stream for good.
ConsoleWrite streamWrite(std::ostream& out);
