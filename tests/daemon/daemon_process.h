#pragma once

#include <chrono>
#include <string>
#include <vector>

// The real brimletd started in a directory of its own, its standard output
// read through a pipe; when the tests run as root and ask for it, the daemon
// runs as nobody. Every wait is bounded; a daemon still running when the
// object goes is killed.
class DaemonProcess {
 public:
  DaemonProcess(const std::string& workingDirectory, const std::vector<std::string>& args,
                bool unprivileged = false);
  ~DaemonProcess();
  DaemonProcess(const DaemonProcess&) = delete;
  DaemonProcess& operator=(const DaemonProcess&) = delete;

  // Reads the console until it holds `lines` complete lines or the time runs
  // out; answers whether it got them.
  bool waitForLines(std::size_t lines, std::chrono::milliseconds timeout);

  // Waits for the daemon to end by itself; its exit status, or -1 if it did
  // not end in time or ended by a signal.
  int waitForExit(std::chrono::milliseconds timeout);

  // Stops the daemon with SIGTERM, as a service manager does, and reaps it.
  void terminate();

  const std::string& console() const { return console_; }

 private:
  bool readAvailable(std::chrono::milliseconds wait);

  int pid_ = -1;
  int output_ = -1;
  std::string console_;
};

// A UDP port nobody uses at the moment.
int freeUdpPort();

// Sends one datagram to 127.0.0.1:port.
void sendToLoopback(int port, const std::string& payload);
