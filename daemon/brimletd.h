// The alert log daemon: its settings, its start-up and its receive loop.
#pragma once

#include <cstdint>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "datagram_queue.h"
#include "datagram_source.h"

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
  static constexpr const char* VERSION_NUMBER = "1.0";

  // Banner, parsing, settings line, then the daemon; answers the exit status:
  // 0 after a requested stop, 1 if the socket could not be opened.
  static int main(const std::vector<std::string>& args);

  // A bad command line prints the usage and changes no setting at all.
  static void parseArgs(const std::vector<std::string>& args, std::ostream& out = std::cout);

  // The line main prints with the settings in force.
  static std::string settingsLine();

  // Opens the socket on `port` and runs the receive loop until the process is
  // asked to stop (SIGTERM, SIGINT, Ctrl+C); then writes every datagram
  // already received and returns. If the socket cannot be opened, or the
  // capabilities granted for the start cannot be dropped, it prints why and
  // returns without receiving.
  BrimletD();
  virtual ~BrimletD();
  BrimletD(const BrimletD&) = delete;
  BrimletD& operator=(const BrimletD&) = delete;

  // Kept in this slot order: dumpToFile, then getCurrentDateFormated.
  virtual void dumpToFile(const std::string& entry);
  virtual std::string getCurrentDateFormated();

  // Datagrams received while the writer is busy wait here: a burst of
  // alerts from every monitor of a full volume fits many times over.
  static constexpr std::size_t kQueueCapacity = 100000;

 protected:
  enum class ReceiveStep { Received, Failed, Stopped };

  // A daemon on a given source that does not start the loop; serve runs it,
  // or receiveOne and writeOne run one turn of each side.
  BrimletD(DatagramSource& source, std::ostream& console,
           std::size_t queueCapacity = kQueueCapacity);

  // Receives on this thread until the source stops, while a second thread
  // writes; returns once everything received is written.
  void serve();

  // The receiving side's turn: takes one datagram with its reception time,
  // or a failed receive, into the queue, and nothing else.
  ReceiveStep receiveOne();

  // The writing side's turn: the filter, the log entry and the console for
  // the oldest queued datagram, waiting for one; answers false once the
  // queue is closed and empty.
  bool writeOne();

 private:
  void handleMessage(const std::string& receptionTime, const std::string& message);
  void reportDropped(std::uint32_t count);
  void reportDroppedBySystem(std::uint32_t count);
  void reportDrops(const QueuedDatagram& datagram);

  std::ostream& console_;
  std::vector<char> buffer_;
  std::unique_ptr<UdpReceiver> socket_;
  DatagramSource* source_ = nullptr;
  DatagramQueue queue_;
  QueuedDatagram received_;  // the receiving side's
  QueuedDatagram taken_;     // the writing side's
  // The system's drops that no queued datagram carried yet: the queue was
  // full, or the receiving ended.
  std::uint32_t droppedBySystem_ = 0;
  bool listened_ = false;
};
