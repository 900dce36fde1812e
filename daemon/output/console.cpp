#include "output/console.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "process/thread_priority.h"

void printLine(std::ostream& out, const std::string& line) {
  out.clear();
  out << line << '\n';
  out.flush();
}

ConsoleWrite streamWrite(std::ostream& out) {
  return [&out](const char* data, std::size_t size) -> std::size_t {
    out.clear();
    out.write(data, static_cast<std::streamsize>(size));
    out.flush();
    return out ? size : 0;
  };
}

struct ConsoleEcho::Shared {
  explicit Shared(ConsoleWrite writeTo, std::size_t capacityBytes)
      : write(std::move(writeTo)), capacity(capacityBytes) {}

  // Only the echo's thread writes, and it alone keeps these two.
  const ConsoleWrite write;
  std::uint64_t failed = 0;  // lines lost in failed writes, not reported yet
  bool cut = false;          // the last write ended inside a line

  const std::size_t capacity;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable progress;
  std::string pending;        // whole lines, each ended by "\n"
  std::uint64_t skipped = 0;  // lines that found the buffer full, not reported yet
  std::uint64_t writes = 0;   // chunks taken so far, to tell progress
  bool closing = false;
  bool done = false;

  // Writes one chunk, with the report of earlier failures before it; counts
  // the lines that did not make it.
  void writeOut(const std::string& chunk) {
    std::string text;
    if (failed > 0) text = (cut ? "\n" : "") + skippedLine(failed) + "\n";
    const std::size_t reportBytes = text.size();
    text += chunk;
    if (text.empty()) return;
    const std::size_t written = write(text.data(), text.size());
    if (written == text.size()) {
      failed = 0;
      cut = false;
      return;
    }
    if (written >= reportBytes) failed = 0;
    // A line counts as lost when its line end did not make it.
    for (std::size_t i = std::max(written, reportBytes); i < text.size(); ++i) {
      if (text[i] == '\n') ++failed;
    }
    if (written > 0) cut = text[written - 1] != '\n';
  }

  void run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return !pending.empty() || closing; });
      if (pending.empty()) break;
      std::string chunk;
      chunk.swap(pending);
      ++writes;
      lock.unlock();
      writeOut(chunk);
      lock.lock();
      progress.notify_all();
      // The lines of the next few writing turns gather meanwhile: one wake
      // and one write for all of them.
      if (!closing) {
        lock.unlock();
        std::this_thread::sleep_for(kGatherPause);
        lock.lock();
      }
    }
    lock.unlock();
    // At the stop there is no next line: the count of the last lost lines
    // gets one try of its own.
    writeOut("");
    lock.lock();
    done = true;
    progress.notify_all();
  }
};

ConsoleEcho::ConsoleEcho(ConsoleWrite write, std::size_t capacityBytes)
    : shared_(std::make_shared<Shared>(std::move(write), capacityBytes)) {}

ConsoleEcho::~ConsoleEcho() { finish(std::chrono::milliseconds(0)); }

void ConsoleEcho::start() {
  if (started_) return;
  started_ = true;
  // The thread keeps the shared part alive: it may outlive the echo when it
  // is stuck in a write at the end of the process.
  // A courtesy gives way: the receiving thread gets the processor first.
  std::thread([shared = shared_] {
    giveWayToOtherThreads();
    shared->run();
  }).detach();
}

void ConsoleEcho::print(const std::string& line) {
  Shared& s = *shared_;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.closing) return;
    if (s.pending.size() + line.size() + 1 > s.capacity) {
      ++s.skipped;
      return;
    }
    // The count goes where the lines were skipped, even past the capacity.
    if (s.skipped > 0) {
      s.pending += skippedLine(s.skipped) + "\n";
      s.skipped = 0;
    }
    s.pending += line;
    s.pending += '\n';
  }
  s.wake.notify_one();
}

void ConsoleEcho::finish(std::chrono::milliseconds patience) {
  if (finished_) return;
  finished_ = true;
  Shared& s = *shared_;
  std::unique_lock<std::mutex> lock(s.mutex);
  if (s.skipped > 0) {
    s.pending += skippedLine(s.skipped) + "\n";
    s.skipped = 0;
  }
  s.closing = true;
  s.wake.notify_one();
  if (!started_) {
    // Nothing writes: the lines go now, on this thread.
    lock.unlock();
    s.run();
    return;
  }
  for (std::uint64_t seen = s.writes; !s.done;) {
    if (!s.progress.wait_for(lock, patience, [&] { return s.done || s.writes != seen; })) return;
    seen = s.writes;
  }
}

std::string ConsoleEcho::skippedLine(std::uint64_t count) {
  return "BrimletD : console not writable, lines skipped: " + std::to_string(count);
}
