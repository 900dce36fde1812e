#include "output/journal_socket.h"

bool standardOutputIsJournal() { return false; }

JournalSocket::JournalSocket(std::string path) : path_(std::move(path)) {}

JournalSocket::~JournalSocket() = default;

bool JournalSocket::send(const std::string&, bool, std::string* error) {
  *error = "no journal on this system";
  return false;
}

std::size_t JournalSocket::sendWhileTaken(const std::string*, std::size_t, bool* full) {
  *full = false;
  return 0;
}

bool JournalSocket::connected(std::string* error) {
  *error = "no journal on this system";
  return false;
}

bool JournalSocket::sendInMemoryFile(const std::string&, std::string* error) {
  *error = "no journal on this system";
  return false;
}
