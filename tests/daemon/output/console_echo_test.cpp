#include "output/console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string kSkipped = "BrimletD : console not writable, lines skipped: ";

// A console whose writes the test steers: a closed gate holds every write
// (nobody reads), and while `failAfter` is set a write takes at most that
// many bytes and fails (a full disk). Every wait is bounded.
class SteeredConsole {
 public:
  ConsoleWrite writer() {
    return [this](const char* data, std::size_t size) {
      std::unique_lock<std::mutex> lock(mutex_);
      ++writes_;
      changed_.notify_all();
      changed_.wait_for(lock, 10s, [this] { return open_; });
      const std::size_t taken = failAfter_ < 0 ? size : std::min<std::size_t>(size, failAfter_);
      text_.append(data, taken);
      ++returned_;
      changed_.notify_all();
      return taken;
    };
  }
  void close() {
    set([this] { open_ = false; });
  }
  void open() {
    set([this] { open_ = true; });
  }
  void failAfter(int bytes) {
    set([this, bytes] { failAfter_ = bytes; });
  }
  bool waitForWrites(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, 5s, [this, count] { return writes_ >= count; });
  }
  bool waitForReturns(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, 15s, [this, count] { return returned_ >= count; });
  }
  std::string text() {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

 private:
  template <typename Change>
  void set(Change change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change();
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = true;
  int failAfter_ = -1;
  int writes_ = 0;
  int returned_ = 0;
  std::string text_;
};

// Nobody reads: the lines that do not fit the buffer are given up, and the
// count comes where they were, once the console takes lines again.
TEST(DaemonConsoleEcho, LinesBeyondTheBufferAreSkippedCountedAndReportedInTheirPlace) {
  SteeredConsole console;
  console.close();
  ConsoleEcho echo(console.writer(), 20);
  echo.start();
  echo.print("first");
  ASSERT_TRUE(console.waitForWrites(1));  // stuck in writing "first"
  for (const char* line : {"line 1", "line 2", "line 3", "line 4", "line 5"}) echo.print(line);
  console.open();
  ASSERT_TRUE(console.waitForWrites(2));  // the buffer is empty again
  echo.print("after");
  echo.finish(5000ms);
  EXPECT_EQ("first\nline 1\nline 2\n" + kSkipped + "3\nafter\n", console.text());
}

TEST(DaemonConsoleEcho, SkippedLinesAtTheStopAreReportedLast) {
  SteeredConsole console;
  console.close();
  ConsoleEcho echo(console.writer(), 10);
  echo.start();
  echo.print("first");
  ASSERT_TRUE(console.waitForWrites(1));
  for (const char* line : {"one", "two", "three"}) echo.print(line);
  console.open();
  echo.finish(5000ms);
  EXPECT_EQ("first\none\ntwo\n" + kSkipped + "1\n", console.text());
}

// A write that fails (part of a line made it) silences nothing: the cut line
// is ended, the count of lost lines comes first, then the lines go on.
TEST(DaemonConsoleEcho, FailedWriteIsCountedAndLaterLinesAreWrittenAgain) {
  SteeredConsole console;
  console.failAfter(3);
  ConsoleEcho echo(console.writer(), 1000);
  echo.start();
  echo.print("lost one");
  ASSERT_TRUE(console.waitForWrites(1));
  console.failAfter(-1);
  echo.print("shown");
  echo.finish(5000ms);
  EXPECT_EQ("los\n" + kSkipped + "1\nshown\n", console.text());
}

TEST(DaemonConsoleEcho, LinesBeforeTheStartAreWrittenInOrderAndWithoutAThreadAtFinish) {
  std::ostringstream out;
  ConsoleEcho echo(streamWrite(out), 1000);
  echo.print("one");
  echo.print("two");
  echo.finish(0ms);
  EXPECT_EQ("one\ntwo\n", out.str());
}

// The stop does not wait for a console that nobody reads.
TEST(DaemonConsoleEcho, FinishGivesUpOnAStuckConsole) {
  SteeredConsole console;
  console.close();
  const auto started = std::chrono::steady_clock::now();
  {
    ConsoleEcho echo(console.writer(), 1000);
    echo.start();
    echo.print("never read");
    ASSERT_TRUE(console.waitForWrites(1));
    echo.finish(50ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  console.open();  // lets the left thread end before the console goes
  EXPECT_TRUE(console.waitForReturns(1));
}

// A stream in a failed state (a full disk once) is tried again.
TEST(DaemonConsoleEcho, StreamAfterAFailureIsWrittenAgain) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  printLine(out, "printed");
  out.setstate(std::ios::badbit);
  EXPECT_EQ(4u, streamWrite(out)("echo", 4));
  EXPECT_EQ("printed\necho", out.str());
}

}  // namespace
