#include "brimletd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "alert_filter.h"
#include "command_line.h"
#include "console.h"
#include "log_entry.h"
#include "log_file.h"
#include "text_case.h"
#include "udp_receiver.h"

std::int32_t BrimletD::port = 48000;
bool BrimletD::showOnlyAlert = true;
std::string BrimletD::filter = "";
bool BrimletD::filtrePositif = true;
std::string BrimletD::logFileName = "brimletlog.txt";

namespace {

constexpr char kSocketErrorLine[] = "BrimletD : IO Exception during socket operation ";
constexpr char kFileErrorLine[] = "BrimletD : IO Exception during entry file writting ";

// A persistent receive error must not turn the loop into a busy one: wait a
// little longer after each failure in a row, up to a second.
constexpr std::chrono::milliseconds kFirstErrorPause{10};
constexpr std::chrono::milliseconds kLongestErrorPause{1000};

bool startsWith(const std::string& text, char sign) { return !text.empty() && text[0] == sign; }

}  // namespace

int BrimletD::main(const std::vector<std::string>& args) {
  printLine(std::cout,
            std::string("BrimletD V. ") + VERSION_NUMBER + "  Brimlet alert message logguer");
  parseArgs(args);
  printLine(std::cout, " Following parameters will be used");
  printLine(std::cout, settingsLine());
  BrimletD daemon;
  return 1;  // reached only when the socket could not be opened
}

void BrimletD::parseArgs(const std::vector<std::string>& args, std::ostream& out) {
  std::int32_t candidatePort = port;
  bool candidateShowOnlyAlert = showOnlyAlert;
  std::string candidateFilter;
  bool failed = false;

  printLine(out, " Parsing command line arguments ...");
  if (args.size() != 2 && args.size() != 3) {
    failed = true;
  } else if (!parsePortNumber(args[0], &candidatePort)) {
    failed = true;
  }
  if (!failed) {
    const std::string levelSwitch = toUpperLatin1(args[1]);
    if (levelSwitch == "Y") {
      candidateShowOnlyAlert = true;
    } else if (levelSwitch == "N") {
      candidateShowOnlyAlert = false;
    } else {
      failed = true;
    }
  }
  if (!failed && args.size() == 3) candidateFilter = toUpperLatin1(args[2]);

  // All or nothing: a valid port is not kept when another argument is bad.
  if (failed) {
    for (const std::string& line : usageLines()) printLine(out, line);
  } else {
    port = candidatePort;
    showOnlyAlert = candidateShowOnlyAlert;
    filter = candidateFilter;
  }

  // Two separate tests, "+" first: "+-x" ends as the negative filter X.
  if (startsWith(filter, '+')) {
    filtrePositif = true;
    filter.erase(0, 1);
  }
  if (startsWith(filter, '-')) {
    filtrePositif = false;
    filter.erase(0, 1);
  }
}

std::string BrimletD::settingsLine() {
  const auto text = [](bool value) { return value ? "true" : "false"; };
  return " port=" + std::to_string(port) + " showOnlyAlert=" + text(showOnlyAlert) +
         " logFile=" + logFileName + " filter=" + filter + "(" + text(filtrePositif) + ")";
}

BrimletD::BrimletD() : console_(std::cout), buffer_(kReceiveBufferBytes) {
  std::string error;
  auto socket = std::make_unique<UdpReceiver>();
  // The parser takes any 32-bit value; outside the port range the bind is not
  // even tried, since the system would read such a value modulo 65536. The C
  // runtime's text for EINVAL reads the same on every platform.
  if (port < 1 || port > 65535) {
    error = std::strerror(EINVAL);
  } else if (socket->open(static_cast<std::uint16_t>(port), &error)) {
    socket_ = std::move(socket);
    source_ = socket_.get();
  }
  if (source_ == nullptr) {
    printLine(console_, "Exception " + error);
    return;
  }
  printLine(console_, "   Now waiting for incoming packets");
  receiveForever();
}

BrimletD::BrimletD(DatagramSource& source, std::ostream& console)
    : console_(console), buffer_(kReceiveBufferBytes), source_(&source) {}

BrimletD::~BrimletD() = default;

void BrimletD::dumpToFile(const std::string& entry) {
  std::string error;
  if (!appendLine(logFileName, entry, &error)) printLine(console_, kFileErrorLine + error);
}

std::string BrimletD::getCurrentDateFormated() { return currentLocalTime(); }

bool BrimletD::receiveOne() {
  const ReceiveResult result = source_->receive(buffer_.data(), buffer_.size());
  if (!result.received) {
    printLine(console_, kSocketErrorLine);
    return false;
  }
  handleMessage(std::string(buffer_.data(), std::min(result.length, buffer_.size())));
  return true;
}

void BrimletD::handleMessage(const std::string& message) {
  // The tests see the raw text; only what is written out is escaped.
  const FilterDecision decision =
      AlertFilter(showOnlyAlert, filter, filtrePositif).decide(toUpperLatin1(message));
  if (!decision.consoleLine.empty()) printLine(console_, decision.consoleLine);
  if (!decision.keep) return;

  const std::string entry = buildEntry(getCurrentDateFormated(), message);
  dumpToFile(entry);
  printLine(console_, entry);
}

void BrimletD::receiveForever() {
  std::chrono::milliseconds pause = kFirstErrorPause;
  for (;;) {
    if (receiveOne()) {
      pause = kFirstErrorPause;
    } else {
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, kLongestErrorPause);
    }
  }
}
