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
#include "receive/datagram_queue.h"
#include "receive/datagram_source.h"
#include "receive/sender_address.h"
#include "receive/sender_check.h"
#include "receive/sender_refusals.h"
#include "output/whole_append.h"

class AlertJournal;
class DaemonEvents;
class UdpReceiver;

// The alert log daemon: receives alert datagrams on one UDP port, keeps those
// that pass the level switch and the name filter, and appends each with its
// reception time to the log file.
class BrimletD {
 public:
  // Set once during start-up by parseArgs, only read afterwards.
  static std::int32_t port;
  static bool showOnlyAlert;
  static std::string filter;  // upper-cased, without its sign
  static bool filtrePositif;
  static std::string logFileName;  // bare name: the file lies in the working directory
  // The sender options, which come before the positional arguments; empty,
  // the daemon hears every sender, unlimited, on every local address.
  static std::vector<SenderPrefix> allowed;
  static SenderRate rate;
  static std::vector<SenderAddress> listenOn;
  static constexpr const char* VERSION_NUMBER = "1.0";

  // Banner, parsing, settings line, then the daemon; answers the exit status:
  // 0 after a requested stop, 1 if the socket could not be opened or the
  // log's lock file is refused (lockFileUsable), 2 after a bad sender option
  // (nothing is received then).
  static int main(const std::vector<std::string>& args);

  // The sender options, applied all together; on a bad one it prints why
  // and changes nothing. The positional arguments go to `positional`.
  static bool parseOptions(const std::vector<std::string>& args,
                           std::vector<std::string>* positional, std::ostream& out = std::cout);

  // The line main prints after the settings line when a sender option is
  // given.
  static std::string senderSettingsLine();

  // A bad command line prints the usage and changes no setting at all.
  static void parseArgs(const std::vector<std::string>& args, std::ostream& out = std::cout);

  // The line main prints with the settings in force.
  static std::string settingsLine();

  // Opens the socket on `port` and runs the receive loop until the process is
  // asked to stop (SIGTERM, SIGINT, SIGHUP, SIGQUIT, Ctrl+C); then shuts the
  // port, writes every datagram received and returns, having said how many
  // it could not log. If the socket cannot be opened, or the
  // capabilities granted for the start cannot be dropped, it prints why and
  // returns without receiving.
  BrimletD();
  virtual ~BrimletD();
  BrimletD(const BrimletD&) = delete;
  BrimletD& operator=(const BrimletD&) = delete;

  // Kept in this slot order: dumpToFile, then getCurrentDateFormated.
  // Every kept entry passes through dumpToFile, one call each, in order,
  // also in a burst: the daemon's own gathers the entries of one writing
  // turn and appends them together with one write once the turn has passed
  // them all (group commit); called on its own it appends at once. Another
  // writer's lock is waited for; an entry that the stop could not wait for
  // is counted as not logged.
  virtual void dumpToFile(const std::string& entry);
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

  // A daemon on a given source that does not start the loop; serve runs it,
  // or receiveOne and writeOne run one turn of each side.
  BrimletD(DatagramSource& source, std::ostream& console,
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
  // pass through dumpToFile and go to the log with one open, one write and
  // one close, in the order they came.
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
    std::size_t gathered;  // into entries_, or kNoEntry: an override took it
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
  static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

  bool writeSome(std::size_t most);
  void reportDropped(std::uint32_t count);
  void reportDroppedBySystem(std::uint32_t count);
  void reportDrops(const QueuedDatagram& datagram);
  void tellRefusals(std::int64_t now);
  void tellRefusal(const SenderRefusals::Line& line);

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
  bool gathering_ = false;
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
  bool listened_ = false;
  std::unique_ptr<AlertJournal> journal_;  // where the console is the journal
  std::unique_ptr<DaemonEvents> events_;   // the system's log: the Event Log of the service
};
