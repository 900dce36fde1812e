// The journal's native socket, once per platform (posix/journal_socket.cpp,
// win/journal_socket.cpp; Windows has no journal).
#pragma once

#include <cstddef>
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

  // Sends entries in their order, in one system call for up to 64, as long
  // as the journal takes them without a wait. Answers how many it took from
  // the front, and whether it stopped because the journal had no room; the
  // one it stopped at (a full journal, an entry too large, a journal gone)
  // is for another try, or for send() to try alone.
  std::size_t sendWhileTaken(const std::string* payloads, std::size_t count, bool* full);

 private:
  bool connected(std::string* error);
  bool sendInMemoryFile(const std::string& payload, std::string* error);

  std::string path_;
  int fd_ = -1;
};
