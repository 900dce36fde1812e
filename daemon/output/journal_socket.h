// The journal's native socket, once per platform (posix/journal_socket.cpp,
// win/journal_socket.cpp; Windows has no journal).
#pragma once

#include <string>

// Whether standard output is a stream to the journal: systemd names that
// stream in $JOURNAL_STREAM as "device:inode", which must be standard
// output's own (a child that inherited the variable but writes elsewhere
// must not take its console for the journal).
bool standardOutputIsJournal();

// Sends whole journal entries as datagrams to the journal's socket; one too
// large for a datagram goes in a sealed memory file passed along with an
// empty datagram, as the protocol allows.
class JournalSocket {
 public:
  static constexpr char kSystemPath[] = "/run/systemd/journal/socket";

  // The daemon always takes the system's journal; the tests give a socket
  // of their own here, which only code linked with the daemon can do.
  explicit JournalSocket(std::string path = kSystemPath);
  ~JournalSocket();
  JournalSocket(const JournalSocket&) = delete;
  JournalSocket& operator=(const JournalSocket&) = delete;

  // Sends one entry's payload. A journal too busy to take it within
  // `patient` waits at most about a second, else not at all. Answers false
  // with the reason when the journal did not take it.
  bool send(const std::string& payload, bool patient, std::string* error);

 private:
  bool sendInMemoryFile(const std::string& payload, std::string* error);

  std::string path_;
  int fd_ = -1;
};
