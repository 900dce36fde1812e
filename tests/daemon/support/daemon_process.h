// The daemon as a separate process for the end-to-end tests: started in a
// directory of its own, as nobody from a copy any user can run.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "support/loopback.h"

// A copy of a program in a scratch folder under /tmp (mode 0755) that any
// user can reach, whatever folders the original lies in: a clone in root's
// home is mode 0700, and nobody cannot run a program from there. The folder
// goes with the object.
class ReachableCopy {
 public:
  explicit ReachableCopy(const std::string& program);
  ~ReachableCopy();
  ReachableCopy(const ReachableCopy&) = delete;
  ReachableCopy& operator=(const ReachableCopy&) = delete;

  // The copy's path; empty when it could not be made (error() says why).
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  std::string folder_;
  std::string path_;
  std::string error_;
};

// The real brimletd started in a directory of its own, its standard output
// read through a pipe; when the tests run as root and ask for it, the daemon
// runs as nobody, from a ReachableCopy. A start that fails says why on the
// console (the folder or program that could not be reached), so a test's
// failure message names it. Every wait is bounded; a daemon still running
// when the object goes is killed.
class DaemonProcess {
 public:
  DaemonProcess(const std::string& workingDirectory, const std::vector<std::string>& args,
                bool unprivileged = false, const std::string& program = BRIMLETD_PATH,
                long fileSizeLimit = 0);
  ~DaemonProcess();
  DaemonProcess(const DaemonProcess&) = delete;
  DaemonProcess& operator=(const DaemonProcess&) = delete;

  // Reads the console until it holds `lines` complete lines or the time runs
  // out; answers whether it got them.
  bool waitForLines(std::size_t lines, std::chrono::milliseconds timeout);

  // Waits for the daemon to end by itself, reading its console meanwhile
  // unless told not to (a console nobody reads); its exit status, or -1 if
  // it did not end in time or ended by a signal.
  int waitForExit(std::chrono::milliseconds timeout, bool readConsole = true);

  // Closes the test's end of the console pipe, as `brimletd ... | head -n 1`
  // does once head has its line.
  void closeConsole();

  // Whether the daemon is still running (not reaped yet).
  bool running();

  // Stops the daemon with SIGTERM, as a service manager does, and reaps it,
  // reading its console meanwhile; one that has not ended within ten seconds
  // is killed.
  void terminate();

  // Sends a signal and returns at once.
  void sendSignal(int signal);

  const std::string& console() const { return console_; }

  // The started process's id (the daemon's once a launcher such as setpriv
  // has run it in its place); -1 once reaped or if the start failed.
  int pid() const { return pid_; }

 private:
  bool readAvailable(std::chrono::milliseconds wait);

  std::unique_ptr<ReachableCopy> copy_;
  int pid_ = -1;
  int output_ = -1;
  std::string console_;
};

// The receive buffer the kernel gives the UDP socket bound to `port` (the
// doubled figure that SO_RCVBUF reads back), from `ss`; -1 if there is no
// such socket or ss could not tell.
long receiveBufferBytes(int port);

// The bytes waiting in the receive queue of the UDP socket bound to `port`
// on all addresses (:: or 0.0.0.0), from /proc/net; -1 if there is no such
// socket.
long receiveQueueBytes(int port);

// The same socket's row there: its receive queue in bytes and its drop count
// (the last column); false if there is no such socket.
bool udpCounters(int port, long* queued, long* drops);
