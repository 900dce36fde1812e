#include "output/journal_socket.h"

bool standardOutputIsJournal() { return false; }

JournalSocket::JournalSocket(std::string path) : path_(std::move(path)) {}

JournalSocket::~JournalSocket() = default;

bool JournalSocket::send(const std::string&, bool, std::string* error) {
  *error = "no journal on this system";
  return false;
}

bool JournalSocket::sendInMemoryFile(const std::string&, std::string* error) {
  *error = "no journal on this system";
  return false;
}
