#pragma once

#include <cstdint>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

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

  // Banner, parsing, settings line, then the daemon; returns only if the
  // socket cannot be opened, with the exit status.
  static int main(const std::vector<std::string>& args);

  // A bad command line prints the usage and changes no setting at all.
  static void parseArgs(const std::vector<std::string>& args, std::ostream& out = std::cout);

  // The line main prints with the settings in force.
  static std::string settingsLine();

  // Opens the socket on `port` and runs the receive loop for ever. If the
  // socket cannot be opened it prints why and returns without receiving.
  BrimletD();
  virtual ~BrimletD();
  BrimletD(const BrimletD&) = delete;
  BrimletD& operator=(const BrimletD&) = delete;

  // Kept in this slot order: dumpToFile, then getCurrentDateFormated.
  virtual void dumpToFile(const std::string& entry);
  virtual std::string getCurrentDateFormated();

 protected:
  // A daemon on a given source that does not start the loop; receiveOne then
  // runs one turn of it.
  BrimletD(DatagramSource& source, std::ostream& console);

  // Receives and handles one datagram; answers false when the receive failed.
  bool receiveOne();

 private:
  static constexpr std::size_t kReceiveBufferBytes = 256;

  void handleMessage(const std::string& message);
  [[noreturn]] void receiveForever();

  std::ostream& console_;
  std::vector<char> buffer_;
  std::unique_ptr<UdpReceiver> socket_;
  DatagramSource* source_ = nullptr;
};
