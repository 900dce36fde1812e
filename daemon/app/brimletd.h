// The alert log daemon: its settings, its start-up and its receive loop.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "output/console.h"
#include "output/whole_append.h"
#include "receive/datagram_queue.h"
#include "receive/datagram_source.h"
#include "receive/sender_address.h"
#include "receive/sender_check.h"
#include "receive/sender_refusals.h"

class AlertJournal;
class DaemonEvents;
class UdpReceiver;

// What the command line sets, read once at the start and given to the
// daemon, which only reads it.
struct DaemonSettings {
  std::int32_t port = 48000;
  bool showOnlyAlert = true;
  std::string filter;  // upper-cased, without its sign
  bool filtrePositif = true;
  // A bare name: the file lies in the working directory.
  std::string logFileName = "brimletlog.txt";
  // The sender options, which come before the positional arguments; empty,
  // the daemon hears every sender, unlimited, on every local address.
  std::vector<SenderPrefix> allowed;
  SenderRate rate;
  std::vector<SenderAddress> listenOn;
};

// The alert log daemon: receives alert datagrams on one UDP port, keeps those
// that pass the level switch and the name filter, and appends each with its
// reception time to the log file.
class BrimletD {
 public:
  using Settings = DaemonSettings;
  static constexpr const char* VERSION_NUMBER = "1.0";

  // Banner, parsing, settings line, then the daemon; answers the exit status:
  // 0 after a requested stop, 1 if the socket could not be opened or the
  // log's lock file is refused (lockFileUsable), 2 after a bad sender option
  // (nothing is received then).
  static int main(const std::vector<std::string>& args);

  // The sender options, into *settings all together; on a bad one it prints
  // why and changes nothing. The positional arguments go to `positional`.
  static bool parseOptions(const std::vector<std::string>& args, Settings* settings,
                           std::vector<std::string>* positional, std::ostream& out = std::cout);

  // The line main prints after the settings line when a sender option is
  // given.
  static std::string senderSettingsLine(const Settings& settings);

  // The positional arguments over `from` (the sender options parsed, or the
  // initial values). A bad command line prints the usage and changes no
  // setting at all.
  static Settings parseArgs(const std::vector<std::string>& args, std::ostream& out = std::cout,
                            Settings from = {});

  // The line main prints with the settings in force.
  static std::string settingsLine(const Settings& settings);

  explicit BrimletD(Settings settings);
  virtual ~BrimletD();
  BrimletD(const BrimletD&) = delete;
  BrimletD& operator=(const BrimletD&) = delete;

  // Opens the socket on `port` and runs the receive loop until the process is
  // asked to stop (SIGTERM, SIGINT, SIGHUP, SIGQUIT, Ctrl+C); then shuts the
  // port, writes every datagram received and returns 0, having said how many
  // it could not log. If the socket cannot be opened, the log's lock file is
  // refused, or the capabilities granted for the start cannot be dropped, it
  // prints why and returns 1 without receiving.
  int run();

  // Kept in this slot order: dumpToFile, then getCurrentDateFormated.
  // The kept entries of one writing turn, in their order, go to the log
  // with one open, one write and one close (group commit; a single entry is
  // a turn of one). Answers how many of them, from the first, are in the
  // file; *error says why the others are not. Another writer's lock is
  // waited for; when the stop could not wait for it, *lockGivenUp is set,
  // nothing is written and the entries are counted as not logged.
  virtual std::size_t dumpToFile(const JoinedLines& entries, std::string* error, bool* lockGivenUp);
  // Called once for each datagram received, on the receiving thread, as it
  // is taken: the daemon's own gives the local time of the datagram's
  // arrival as the system stamped it, or, without a stamp, of now.
  virtual std::string getCurrentDateFormated();

  // Datagrams received while the writer is busy wait here: a burst of
  // alerts from every monitor of a full volume fits many times over.
  static constexpr std::size_t kQueueCapacity = 100000;

  // Console lines that nobody has read yet wait here, up to this many bytes:
  // a burst's entries fit many times over. At the stop the console gets this
  // long after its last progress before the daemon ends without it.
  static constexpr std::size_t kConsoleBufferBytes = 4 * 1024 * 1024;
  static constexpr std::chrono::milliseconds kConsolePatience{500};

 protected:
  enum class ReceiveStep { Received, Refused, Idle, Failed, Stopped };

  // A daemon on a given source, without a socket; serve runs the loop, or
  // receiveOne and writeOne run one turn of each side.
  BrimletD(Settings settings, DatagramSource& source, std::ostream& console,
           std::size_t queueCapacity = kQueueCapacity);

  // Receives on this thread until the source stops, while a second thread
  // writes; returns once everything received is written.
  void serve();

  // The receiving side's turn: takes one datagram with its reception time,
  // or a failed receive, into the queue, unless the sender check refuses
  // it: then it is only counted.
  ReceiveStep receiveOne();

  // The writing side's turn: the filter, the log entry and the console for
  // the oldest queued datagram, waiting for one; answers false once the
  // queue is closed and empty.
  bool writeOne();

  // The same for every datagram waiting, up to kMostPerBatch: their entries
  // go to the log with one dumpToFile, in the order they came.
  bool writeWaiting();

  // From a stop request: the receiving ends, and the writing may wait this
  // long for another writer's lock before it counts the unwritten entries.
  void requestStop(std::chrono::milliseconds lockPatience);

  // Entries appended with one write at most; 256 short entries are some
  // 20 KB.
  static constexpr std::size_t kMostPerBatch = 256;
  // The writer's pause after each turn that did not take kMostPerBatch: a
  // burst gathers meanwhile, so that the next turn appends more of it at
  // once, and the writer is woken less often (each wake-up costs more than
  // several entries). An entry reaches the log this much later at most.
  static constexpr std::chrono::milliseconds kGatherPause{4};

 private:
  // One datagram of a batch as the writer made it out.
  struct Handled {
    std::string filterLine;
    std::string entry;     // empty: none
    std::size_t gathered;  // its place among the turn's entries
  };
  // The writer's waits for another writer's lock: on the console, and
  // bounded once the stop has come.
  class WriterLockWait : public LockWait {
   public:
    explicit WriterLockWait(BrimletD& daemon) : daemon_(daemon) {}
    bool mayWait() override;
    void began() override;
    void refused(const std::string& reason) override;
    void ended(std::chrono::milliseconds length, bool had) override;

   private:
    BrimletD& daemon_;
  };

  bool writeSome(std::size_t most);
  void reportDropped(std::uint32_t count);
  void reportDroppedBySystem(std::uint32_t count);
  void reportDrops(const QueuedDatagram& datagram);
  void tellRefusals(std::int64_t now);
  void tellRefusal(const SenderRefusals::Line& line);

  const Settings settings_;
  std::ostream& console_;  // the start-up lines
  ConsoleEcho echo_;       // every line while serving
  std::vector<char> buffer_;
  std::unique_ptr<UdpReceiver> socket_;
  DatagramSource* source_ = nullptr;
  DatagramQueue queue_;
  QueuedDatagram received_;  // the receiving side's
  // The arrival second of the datagram in hand (0: the system gave none),
  // which the daemon's own getCurrentDateFormated shows.
  std::int64_t arrivalSecond_ = 0;
  SenderCheck senderCheck_;
  SenderRefusals refusals_;
  // The writing side's.
  std::unique_ptr<QueuedDatagram[]> taken_;
  std::vector<Handled> handled_;  // kept at its largest, its strings reused
  JoinedLines gathered_;          // the turn's entries, kept likewise
  std::string upper_;             // the datagram upper-cased for the filter
  std::string message_;           // the datagram for the journal and the Event Log
  std::string sender_;            // its sender, as text
  std::size_t lastTurn_ = 0;  // datagrams the last turn took
  WriterLockWait lockWait_{*this};
  std::uint32_t notLogged_ = 0;                // read, kept, and not written at the stop
  std::atomic<std::int64_t> lockPatience_{0};  // milliseconds; 0: not asked yet
  // Steady-clock ticks after which the writer stops waiting for the lock; 0
  // until the receiving has ended.
  std::atomic<std::int64_t> lockDeadline_{0};
  // The system's drops that no queued datagram carried yet: the queue was
  // full, or the receiving ended.
  std::uint32_t droppedBySystem_ = 0;
  std::uint32_t leftInSocket_ = 0;
  std::unique_ptr<AlertJournal> journal_;  // where the console is the journal
  std::unique_ptr<DaemonEvents> events_;   // the system's log: the Event Log of the service
};
